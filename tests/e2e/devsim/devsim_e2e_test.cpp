// divarod-devsim as its own process with the demo fleet, reached through the
// device library over loopback.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "core/device/sdk_device_info.h"
#include "libs/devicelink/devicelink.h"
#include "tests/e2e/devsim/devsim_process.h"

namespace {

// The program's own window: loaded test machines (the sanitizer build with
// every test running) can take longer than a second for all answers.
std::vector<DeviceRecord> Search(devicelink::DeviceLinkLibrary& lib, int timeoutMs = 3000) {
  std::vector<uint8_t> buffer(sdkinfo::kSearchBufferSize);
  int count = 0;
  EXPECT_EQ(lib.SDK_SearchDevices_v1_v3_MultiEth(buffer.data(), static_cast<int>(buffer.size()), &count, 2,
                                                 timeoutMs),
            1);
  std::vector<DeviceRecord> out;
  for (int i = 0; i < count; ++i)
    out.push_back(sdkinfo::ReadRecord(std::span<const uint8_t>(buffer).subspan(i * sdkinfo::kRecordSize)));
  return out;
}

class DemoFleet : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim.StartOnLoopbackRange(DEVSIM_BIN, [](const testsupport::LoopbackRange& r) {
      return std::vector<std::string>{"--fleet", DEMO_FLEET, r.DevsimOption(), "--discovery", "127.0.0.1:0"};
    })) << sim.output;
    octet = std::to_string(sim.range->second());
    lib.SetDiscoveryTargets(sim.discovery);
  }
  std::string octet;
  simtest::DevsimProcess sim;
  devicelink::DeviceLinkLibrary lib;
};

TEST_F(DemoFleet, ShowsEveryCaseOfTheDeviceList) {
  const auto records = Search(lib);
  ASSERT_EQ(records.size(), 16u);
  std::set<int> kinds;
  std::set<std::string> customers;
  bool bit0Set = false, bit0Clear = false, bit3Set = false, bit3Clear = false, noModel = false, noCloud = false;
  for (const auto& r : records) {
    kinds.insert(r.kind);
    customers.insert(r.customerCode);
    (r.capabilities & 1 ? bit0Set : bit0Clear) = true;
    (r.capabilities & 8 ? bit3Set : bit3Clear) = true;
    noModel |= r.model == "-- --";
    noCloud |= r.cloudId.empty();
    EXPECT_EQ(r.ip.rfind("127." + octet + ".1.", 0), 0u) << r.ip;  // loopback mode
    EXPECT_NE(r.version.find("Build:"), std::string::npos) << r.version;
  }
  EXPECT_EQ(kinds, (std::set<int>{0, 1}));
  EXPECT_EQ(customers.size(), 2u);
  EXPECT_TRUE(customers.count("C0000"));
  EXPECT_TRUE(bit0Set && bit0Clear && bit3Set && bit3Clear);
  EXPECT_TRUE(noModel);
  EXPECT_TRUE(noCloud);
}

TEST_F(DemoFleet, LoginAndVersionQueryOnADemoDevice) {
  const auto records = Search(lib);
  ASSERT_FALSE(records.empty());
  const auto& r = records.front();
  int error = -1;
  uint8_t info[64] = {};
  const int32_t h = lib.SdkLogin(r.ip.c_str(), r.tcpPort, "admin", r.mac == "00:1c:27:a0:00:0d" ? "Secur3!pw" : "admin123",
                                 info, &error, 0, 0);
  ASSERT_NE(h, 0) << error;
  char text[64] = {};
  int length = 0;
  ASSERT_EQ(lib.SdkQueryText(h, 50, text, 64, &length, 1000), 1);
  EXPECT_NE(std::string(text).find("Build:"), std::string::npos);
  EXPECT_EQ(length, static_cast<int>(std::string(text).size()));
  lib.SdkLogout(h);
}

TEST_F(DemoFleet, EndsCleanlyOnTerm) { EXPECT_EQ(sim.Stop(), 0); }

TEST(DevsimCommandLine, RefusesBadInvocations) {
  // Names of this process's own: the same case of another build's suite may run at the same time.
  const std::string own = std::to_string(::getpid());
  const std::string bad = ::testing::TempDir() + "/bad-fleet-" + own + ".ini";
  std::ofstream(bad) << "[dev]\nmac=00:11:22:33:44:55\nip=10.0.0.1\nbogus_key=1\n";
  const std::string dup = ::testing::TempDir() + "/dup-fleet-" + own + ".ini";
  std::ofstream(dup) << "[a]\nmac=00:11:22:33:44:55\nip=10.0.0.1\n[b]\nmac=00:11:22:33:44:55\nip=10.0.0.2\n";
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* says;
  } cases[] = {
      {{}, 2, "usage"},
      {{"--fleet"}, 2, "usage"},
      {{"--fleet", "/nonexistent/fleet.ini", "--loopback"}, 1, "cannot be read"},
      {{"--fleet", bad, "--loopback"}, 1, "unknown key \"bogus_key\""},
      {{"--fleet", dup, "--loopback"}, 1, "used twice"},
      {{"--fleet", DEMO_FLEET, "--discovery", "nowhere"}, 2, "bad --discovery"},
  };
  for (const auto& c : cases) {
    std::string output;
    EXPECT_EQ(simtest::DevsimProcess::RunToEnd(DEVSIM_BIN, c.args, output), c.status) << output;
    EXPECT_NE(output.find(c.says), std::string::npos) << output;
  }
  std::remove(bad.c_str());
  std::remove(dup.c_str());
}

}  // namespace
