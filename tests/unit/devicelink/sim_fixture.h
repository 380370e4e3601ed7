#pragma once
// An in-process simulator on loopback addresses of its own (127.N.1.x on a
// range of the test's own, tests/support/loopback_range.h, so that tests
// running side by side never meet), and a library whose discovery goes to it
// alone. An address another process holds makes the simulator's Open fail
// ("Address already in use"); the fixture then tries again on another range.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/device/sdk_device_info.h"
#include "libs/devicelink/devicelink.h"
#include "tests/support/loopback_range.h"
#include "tests/unit/devicelink/loopback_simulator.h"
#include "tools/devsim/simulator.h"

namespace simtest {

// A plain device: admin/admin123, model "DV-T100", version with "Build:".
inline devsim::DeviceProfile Device(const std::string& subnet, int n) {
  devsim::DeviceProfile d;
  d.section = "dev" + std::to_string(n);
  char mac[18];
  std::snprintf(mac, sizeof mac, "02:00:00:00:%02x:%02x", (n >> 8) & 0xff, n & 0xff);
  d.mac = mac;
  d.ip = subnet + std::to_string(n);
  d.gateway = subnet + "254";
  d.dns1 = "8.8.8.8";
  d.dns2 = "8.8.4.4";
  d.tcpPort = 34567;
  d.httpPort = 80;
  d.model = "DV-T100";
  d.cloudId = "CLOUD" + std::to_string(n);
  d.version = "V5.2.4.ad17 Build:2026-09-14 16:02 Release(ONVIF,WebV3)";
  d.releaseTime = "2026-09-14 16:02:11";
  d.users = {{"admin", "admin123"}, {"guest", "guest1"}};
  d.rebootMs = 600;
  d.upgradeWriteMs = 300;
  return d;
}

class SimFixture : public ::testing::Test {
 protected:
  // Override to shape the fleet before the simulator starts.
  virtual void Shape(std::vector<devsim::DeviceProfile>& devices) { (void)devices; }
  virtual int DeviceCount() { return 3; }
  virtual int AnswerSpreadMs() { return 50; }

  void SetUp() override {
    std::string error;
    range = OpenSimulatorOnLoopbackRange(
        [this](const testsupport::LoopbackRange& r) {
          subnet = r.Prefix() + "1.";
          devsim::Fleet fleet;
          fleet.settings.answerSpreadMs = AnswerSpreadMs();
          for (int i = 1; i <= DeviceCount(); ++i) fleet.devices.push_back(Device(subnet, i));
          Shape(fleet.devices);
          profiles = fleet.devices;
          return fleet;
        },
        sim, error);
    ASSERT_TRUE(sim) << "no loopback range to start on: " << error;
    sim->StartThread();
    sim->SetDeviceObserver([this](const devsim::DeviceSnapshot& d) {
      std::lock_guard lock(presenceMutex_);
      presence_.push_back({d.mac, d.up});
      presenceChanged_.notify_all();
    });
    lib.SetDiscoveryTargets(sim->discoveryEndpoints());
  }

  void TearDown() override {
    if (sim) sim->Quit();
  }

  std::vector<DeviceRecord> Search(int timeoutMs = 600, int capacity = 1024) {
    std::vector<uint8_t> buffer(static_cast<std::size_t>(capacity) * sdkinfo::kRecordSize);
    int count = -1;
    const int r = lib.SDK_SearchDevices_v1_v3_MultiEth(buffer.data(), static_cast<int>(buffer.size()), &count, 2,
                                                       timeoutMs);
    EXPECT_NE(r, 0);
    std::vector<DeviceRecord> out;
    for (int i = 0; i < count; ++i)
      out.push_back(sdkinfo::ReadRecord(std::span<const uint8_t>(buffer).subspan(i * sdkinfo::kRecordSize)));
    return out;
  }

  static const DeviceRecord* ByMac(const std::vector<DeviceRecord>& records, const std::string& mac) {
    for (const auto& r : records)
      if (r.mac == mac) return &r;
    return nullptr;
  }

  // The simulator reports every change of a device (its presence included)
  // to one observer; the fixture keeps the presence reports, so tests wait
  // for a restart instead of racing its timers. (A test that installs an
  // observer of its own, such as the LAN link, replaces this one.)

  // Waits until the device has gone down and come back since the last
  // restart this waited for. False when that did not happen within the budget.
  bool WaitForRestart(const std::string& mac, int budgetMs = 10000) {
    return WaitForPresence(mac, false, budgetMs) && WaitForPresence(mac, true, budgetMs);
  }
  // Waits for the next report of the device being down (up = false) or
  // present (up = true), after the last one a wait consumed.
  bool WaitForPresence(const std::string& mac, bool up, int budgetMs = 10000) {
    std::unique_lock lock(presenceMutex_);
    std::size_t& next = presenceSeen_[mac];
    return presenceChanged_.wait_for(lock, std::chrono::milliseconds(budgetMs), [&] {
      for (; next < presence_.size(); ++next)
        if (presence_[next].first == mac && presence_[next].second == up) {
          ++next;
          return true;
        }
      return false;
    });
  }

  std::string Ip(int n) const { return subnet + std::to_string(n); }

  int32_t Login(int n, const char* user = "admin", const char* password = "admin123", int* error = nullptr,
                uint16_t port = 34567) {
    uint8_t info[64] = {};
    int e = -99;
    const int32_t h = lib.SdkLogin(Ip(n).c_str(), port, user, password, info, &e, 0, 0);
    if (error) *error = e;
    return h;
  }

  // Polls discovery until the predicate holds for the device or the budget ends.
  template <typename Pred>
  bool EventuallyInDiscovery(const std::string& mac, Pred pred, int budgetMs = 8000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(budgetMs);
    while (std::chrono::steady_clock::now() < end) {
      const auto records = Search(300);
      if (pred(ByMac(records, mac))) return true;
    }
    return false;
  }

  std::optional<testsupport::LoopbackRange> range;  // held while the simulator lives
  std::string subnet;                                // "127.N.1.", of that range
  std::vector<devsim::DeviceProfile> profiles;
  std::unique_ptr<devsim::Simulator> sim;
  devicelink::DeviceLinkLibrary lib;

 private:
  std::mutex presenceMutex_;
  std::condition_variable presenceChanged_;
  std::vector<std::pair<std::string, bool>> presence_;  // (mac, up) in the order reported
  std::map<std::string, std::size_t> presenceSeen_;     // per device: the reports a wait consumed
};

}  // namespace simtest
