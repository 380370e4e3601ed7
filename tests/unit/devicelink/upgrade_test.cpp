// Firmware upgrades against the simulator: the two progress phases, the end
// reports, and the thread they arrive on.
#include <gtest/gtest.h>

#include <condition_variable>
#include <fstream>
#include <mutex>

#include "tests/unit/devicelink/sim_fixture.h"

namespace {

struct Progress {
  int32_t total;
  int32_t done;
  std::thread::id thread;
};

struct Recorder {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<Progress> calls;
  int32_t loginHandle = 0;
  int32_t upgradeHandle = 0;
  bool badHandles = false;

  static void Callback(int32_t login, int32_t upgrade, int32_t total, int32_t done, void* user) {
    auto* self = static_cast<Recorder*>(user);
    std::lock_guard lock(self->mutex);
    if (login != self->loginHandle || (self->upgradeHandle && upgrade != self->upgradeHandle)) self->badHandles = true;
    self->calls.push_back({total, done, std::this_thread::get_id()});
    self->changed.notify_all();
  }
  bool WaitFor(std::function<bool(const std::vector<Progress>&)> pred, int ms = 20000) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::milliseconds(ms), [&] { return pred(calls); });
  }
  static bool Ended(const std::vector<Progress>& c) { return !c.empty() && c.back().total == 0; }
};

class UpgradeTest : public simtest::SimFixture {
 protected:
  int DeviceCount() override { return 10; }
  void Shape(std::vector<devsim::DeviceProfile>& d) override {
    d[8].upgradeStallAt = 30;
    d[9].upgradeFailAt = 40;
  }
  void SetUp() override {
    SimFixture::SetUp();
    firmware = ::testing::TempDir() + "/" + subnet + "firmware.bin";
    std::ofstream out(firmware, std::ios::binary);
    for (int i = 0; i < kImageSize; ++i) out.put(static_cast<char>(i * 7 + 3));
  }
  // Checks one finished run: sending from 0 to the size in rising steps, then
  // every percentage 0..last in order, then the end report.
  void ExpectRun(const std::vector<Progress>& calls, int lastPercent, int32_t end, std::thread::id caller) {
    ASSERT_GE(calls.size(), 3u);
    std::size_t i = 0;
    EXPECT_EQ(calls[0].total, kImageSize);
    EXPECT_EQ(calls[0].done, 0);
    int32_t last = -1;
    for (; i < calls.size() && calls[i].total == kImageSize; ++i) {
      EXPECT_GT(calls[i].done, last);
      last = calls[i].done;
    }
    EXPECT_EQ(last, kImageSize);
    int expected = 0;
    for (; i < calls.size() && calls[i].total == -1; ++i) EXPECT_EQ(calls[i].done, expected++);
    EXPECT_EQ(expected, lastPercent + 1);
    if (end != 1) {
      ASSERT_EQ(i + 1, calls.size());
      EXPECT_EQ(calls[i].total, 0);
      EXPECT_EQ(calls[i].done, end);
    }
    for (const auto& c : calls) EXPECT_NE(c.thread, caller);
  }

  static constexpr int kImageSize = 5 * 64 * 1024 + 1234;
  std::string firmware;
};

TEST_F(UpgradeTest, EightUpgradesAtOnceReportEveryValueOnTheLibraryThread) {
  std::vector<std::unique_ptr<Recorder>> recorders;
  std::vector<int32_t> upgrades;
  for (int n = 1; n <= 8; ++n) {
    auto r = std::make_unique<Recorder>();
    r->loginHandle = Login(n);
    ASSERT_NE(r->loginHandle, 0);
    const int32_t u = lib.SdkOpenUpgrade(r->loginHandle, firmware.c_str(), &Recorder::Callback, r.get(), 0);
    ASSERT_NE(u, 0);
    {
      std::lock_guard lock(r->mutex);
      r->upgradeHandle = u;
    }
    upgrades.push_back(u);
    recorders.push_back(std::move(r));
  }
  for (int32_t u : upgrades) ASSERT_EQ(lib.SdkStartUpgrade(u), 1);
  for (auto& r : recorders) ASSERT_TRUE(r->WaitFor(Recorder::Ended));
  for (auto& r : recorders) {
    std::lock_guard lock(r->mutex);
    ExpectRun(r->calls, 100, -1, std::this_thread::get_id());
    EXPECT_FALSE(r->badHandles);
  }
  for (int32_t u : upgrades) lib.SdkCloseUpgrade(u);
  // A finished upgrade restarts the device: away, then back.
  ASSERT_TRUE(WaitForRestart(profiles[7].mac));
  ASSERT_TRUE(EventuallyInDiscovery(profiles[7].mac, [](const DeviceRecord* r) { return r != nullptr; }));
}

TEST_F(UpgradeTest, DeviceThatFailsReportsFailureAfterItsLastPercentage) {
  Recorder r;
  r.loginHandle = Login(10);
  const int32_t u = lib.SdkOpenUpgrade(r.loginHandle, firmware.c_str(), &Recorder::Callback, &r, 0);
  ASSERT_NE(u, 0);
  ASSERT_EQ(lib.SdkStartUpgrade(u), 1);
  ASSERT_TRUE(r.WaitFor(Recorder::Ended));
  std::lock_guard lock(r.mutex);
  ExpectRun(r.calls, 40, -2, std::this_thread::get_id());
  lib.SdkCloseUpgrade(u);
}

TEST_F(UpgradeTest, StalledUpgradeGoesQuietAndCloseEndsIt) {
  Recorder r;
  r.loginHandle = Login(9);
  const int32_t u = lib.SdkOpenUpgrade(r.loginHandle, firmware.c_str(), &Recorder::Callback, &r, 0);
  ASSERT_EQ(lib.SdkStartUpgrade(u), 1);
  ASSERT_TRUE(r.WaitFor([](const auto& c) { return !c.empty() && c.back().total == -1 && c.back().done == 30; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  lib.SdkCloseUpgrade(u);  // what the program's watchdog does
  std::lock_guard lock(r.mutex);
  ExpectRun(r.calls, 30, 1, std::this_thread::get_id());
  EXPECT_EQ(r.calls.back().total, -1);  // no end report: the caller gave it up
}

TEST_F(UpgradeTest, OpenAndStartRefusals) {
  Recorder r;
  r.loginHandle = Login(1);
  EXPECT_EQ(lib.SdkOpenUpgrade(r.loginHandle, "/nonexistent/fw.bin", &Recorder::Callback, &r, 0), 0);
  const std::string empty = firmware + ".empty";
  std::ofstream(empty).close();
  EXPECT_EQ(lib.SdkOpenUpgrade(r.loginHandle, empty.c_str(), &Recorder::Callback, &r, 0), 0);
  EXPECT_EQ(lib.SdkOpenUpgrade(4242, firmware.c_str(), &Recorder::Callback, &r, 0), 0);
  EXPECT_EQ(lib.SdkStartUpgrade(4242), 0);
  lib.SdkCloseUpgrade(4242);  // unknown: harmless

  // An opened upgrade whose device has gone does not start.
  const int32_t u = lib.SdkOpenUpgrade(r.loginHandle, firmware.c_str(), &Recorder::Callback, &r, 0);
  ASSERT_NE(u, 0);
  ASSERT_EQ(lib.SdkReboot(r.loginHandle), 1);
  EXPECT_EQ(lib.SdkStartUpgrade(u), 0);
  lib.SdkCloseUpgrade(u);
  std::lock_guard lock(r.mutex);
  EXPECT_TRUE(r.calls.empty());
}

TEST_F(UpgradeTest, StartingTwiceStartsOnce) {
  Recorder r;
  r.loginHandle = Login(2);
  const int32_t u = lib.SdkOpenUpgrade(r.loginHandle, firmware.c_str(), &Recorder::Callback, &r, 0);
  ASSERT_EQ(lib.SdkStartUpgrade(u), 1);
  EXPECT_EQ(lib.SdkStartUpgrade(u), 0);
  ASSERT_TRUE(r.WaitFor(Recorder::Ended));
  lib.SdkCloseUpgrade(u);
}

TEST_F(UpgradeTest, UpgradesOfOneFileShareOneCopyReleasedWithTheLast) {
  std::vector<std::unique_ptr<Recorder>> recorders;
  std::vector<int32_t> upgrades;
  for (int n = 1; n <= 3; ++n) {
    auto r = std::make_unique<Recorder>();
    r->loginHandle = Login(n);
    const int32_t u = lib.SdkOpenUpgrade(r->loginHandle, firmware.c_str(), &Recorder::Callback, r.get(), 0);
    ASSERT_NE(u, 0);
    upgrades.push_back(u);
    recorders.push_back(std::move(r));
  }
  EXPECT_EQ(lib.HeldFirmwareImages(), 1u);
  for (int32_t u : upgrades) ASSERT_EQ(lib.SdkStartUpgrade(u), 1);
  for (auto& r : recorders) ASSERT_TRUE(r->WaitFor(Recorder::Ended));
  lib.SdkCloseUpgrade(upgrades[0]);
  lib.SdkCloseUpgrade(upgrades[1]);
  EXPECT_EQ(lib.HeldFirmwareImages(), 1u);
  lib.SdkCloseUpgrade(upgrades[2]);
  EXPECT_EQ(lib.HeldFirmwareImages(), 0u);
  for (auto& r : recorders) {
    std::lock_guard lock(r->mutex);
    EXPECT_EQ(r->calls.back().done, -1);
  }
}

TEST_F(UpgradeTest, FileRewrittenBetweenOpensSendsEachDeviceOneWholeImage) {
  // The device checks the image against the checksum announced at the start,
  // so a finished upgrade proves it received exactly one version of the file.
  Recorder first, second;
  first.loginHandle = Login(1);
  second.loginHandle = Login(2);
  const int32_t u1 = lib.SdkOpenUpgrade(first.loginHandle, firmware.c_str(), &Recorder::Callback, &first, 0);
  ASSERT_NE(u1, 0);
  ASSERT_EQ(lib.SdkStartUpgrade(u1), 1);
  {
    // Rewritten in place while the first upgrade sends (longer, so that the
    // change shows whatever the file system's timestamp resolution).
    std::fstream out(firmware, std::ios::binary | std::ios::in | std::ios::out);
    for (int i = 0; i < kImageSize + 4096; ++i) out.put(static_cast<char>(i * 13 + 1));
  }
  const int32_t u2 = lib.SdkOpenUpgrade(second.loginHandle, firmware.c_str(), &Recorder::Callback, &second, 0);
  ASSERT_NE(u2, 0);
  ASSERT_EQ(lib.SdkStartUpgrade(u2), 1);
  ASSERT_TRUE(first.WaitFor(Recorder::Ended));
  ASSERT_TRUE(second.WaitFor(Recorder::Ended));
  lib.SdkCloseUpgrade(u1);
  lib.SdkCloseUpgrade(u2);
  std::lock_guard lock1(first.mutex), lock2(second.mutex);
  EXPECT_EQ(first.calls.back().done, -1);
  EXPECT_EQ(second.calls.back().done, -1);
  EXPECT_EQ(lib.HeldFirmwareImages(), 0u);
}

struct CloseFromCallback {
  devicelink::DeviceLinkLibrary* lib = nullptr;
  int32_t upgrade = 0;
  std::atomic<int> calls{0};
  std::mutex mutex;
  std::condition_variable changed;
  bool closed = false;
  static void Callback(int32_t, int32_t, int32_t, int32_t, void* user) {
    auto* self = static_cast<CloseFromCallback*>(user);
    if (self->calls++ != 0) return;
    self->lib->SdkCloseUpgrade(self->upgrade);
    std::lock_guard lock(self->mutex);
    self->closed = true;  // the callback's last touch of *self
    self->changed.notify_all();
  }
};

TEST_F(UpgradeTest, ClosingFromInsideTheCallbackEndsItWithoutHanging) {
  CloseFromCallback c;
  c.lib = &lib;
  const int32_t login = Login(3);
  c.upgrade = lib.SdkOpenUpgrade(login, firmware.c_str(), &CloseFromCallback::Callback, &c, 0);
  ASSERT_EQ(lib.SdkStartUpgrade(c.upgrade), 1);
  std::unique_lock lock(c.mutex);
  ASSERT_TRUE(c.changed.wait_for(lock, std::chrono::seconds(20), [&] { return c.closed; }));
  // Nothing follows the close: a second report would come within the time one
  // chunk takes on loopback.
  EXPECT_FALSE(c.changed.wait_for(lock, std::chrono::milliseconds(300), [&] { return c.calls > 1; }));
  EXPECT_EQ(c.calls, 1);
}

}  // namespace
