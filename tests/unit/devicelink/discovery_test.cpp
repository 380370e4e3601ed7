// Discovery against the simulator over real loopback sockets.
#include <time.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "libs/devicelink/discovery.h"
#include "tests/unit/devicelink/reply_port_flood.h"
#include "tests/unit/devicelink/sim_fixture.h"

namespace {

using simtest::SimFixture;

class DiscoveryTest : public SimFixture {
 protected:
  void Shape(std::vector<devsim::DeviceProfile>& d) override {
    d[0].kind = 0;
    d[0].capabilities = 0x09;
    d[0].customerCode = "C0000";
    d[1].kind = 1;
    d[1].capabilities = 0x00;
    d[1].model = "";
    d[1].cloudId = "";
    d[1].customerCode = "C2718";
    d[1].httpPort = 8080;
    d[1].tcpPort = 34600;
    d[1].dhcpMode = 1;
  }
};

TEST_F(DiscoveryTest, EveryDeviceAnswersWithItsRecord) {
  const auto records = Search();
  ASSERT_EQ(records.size(), 3u);
  const DeviceRecord* a = ByMac(records, profiles[0].mac);
  const DeviceRecord* b = ByMac(records, profiles[1].mac);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->ip, Ip(1));
  EXPECT_EQ(a->netmask, "255.255.255.0");
  EXPECT_EQ(a->gateway, subnet + "254");
  EXPECT_EQ(a->dns1, "8.8.8.8");
  EXPECT_EQ(a->dns2, "8.8.4.4");
  EXPECT_EQ(a->tcpPort, 34567);
  EXPECT_EQ(a->httpPort, 80);
  EXPECT_EQ(a->onvifPort, 80);
  EXPECT_EQ(a->onvifCapable, 1);
  EXPECT_EQ(a->capabilities, 0x09);
  EXPECT_EQ(a->model, "DV-T100");
  EXPECT_EQ(a->cloudId, "CLOUD1");
  EXPECT_EQ(a->customerCode, "C0000");
  EXPECT_EQ(a->type, "IPC");
  EXPECT_EQ(a->releaseTime, "2026-09-14 16:02:11");
  EXPECT_EQ(a->devStartTime.size(), 19u);
  EXPECT_EQ(a->devTime.size(), 19u);
  // The record's version field holds 32 bytes; the full text comes from query 50.
  EXPECT_EQ(a->version, profiles[0].version.substr(0, 32));

  EXPECT_EQ(b->kind, 1);
  EXPECT_EQ(b->onvifCapable, 0);
  EXPECT_EQ(b->onvifPort, 0);
  EXPECT_EQ(b->model, "-- --");
  EXPECT_EQ(b->cloudId, "");
  EXPECT_EQ(b->customerCode, "C2718");
  EXPECT_EQ(b->httpPort, 8080);
  EXPECT_EQ(b->tcpPort, 34600);
  EXPECT_EQ(b->dhcpMode, 1);
  EXPECT_EQ(b->capabilities, 0);
}

TEST_F(DiscoveryTest, NeverFillsMoreRecordsThanTheBufferHolds) {
  // Two records fit; the guard bytes after them must stay untouched.
  std::vector<uint8_t> buffer(2 * sdkinfo::kRecordSize + 100, 0xEE);
  int count = 0;
  ASSERT_EQ(lib.SDK_SearchDevices_v1_v3_MultiEth(buffer.data(), 2 * sdkinfo::kRecordSize + 100, &count, 2, 400), 1);
  EXPECT_EQ(count, 2);
  for (std::size_t i = 2 * sdkinfo::kRecordSize; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0xEE) << i;
  EXPECT_EQ(lib.LastDiscovery().overflow, 1);
}

TEST_F(DiscoveryTest, LastsItsTimeoutAndNoLonger) {
  const auto start = std::chrono::steady_clock::now();
  Search(500);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_GE(ms.count(), 450);
  EXPECT_LT(ms.count(), 3000);
}

TEST_F(DiscoveryTest, DeviceAnsweringTwiceIsListedOnce) {
  // The library repeats its query; every device answers both.
  const auto records = Search(900);
  EXPECT_EQ(records.size(), 3u);
  EXPECT_GE(lib.LastDiscovery().duplicates, 3);
}

// The processor time the calling thread has used, in milliseconds.
double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

TEST(DiscoveryCall, AFloodAtTheReplyPortDoesNotStretchTheSearch) {
  // Loopback senders keep the reply port busy for up to 8 s with answers of
  // thousands of devices; each search still ends at its own bound, with the
  // buffer full and not a record past it. (A reader that stopped only when
  // nothing waited would go on until the senders happened to fall behind it
  // for a moment; three searches in a row make that chance small.)
  // The search is judged by the processor time it took, not the time that
  // passed: reading on past the bound is work, while a machine loaded by
  // other tests may only hold the thread back, which a clock on the wall
  // counts too. A search that keeps its bound works at most until it.
  // How many answers come within the 400 ms depends as much on the machine:
  // a loaded one (or one whose host takes its processors) runs the senders
  // late, and fewer than 1024 devices may have answered by the bound. So the
  // buffer is judged by what came: filled before any device is turned away,
  // never past it.
  for (int search = 0; search < 3; ++search) {
    floodtest::ReplyPortFlood flood(16, floodtest::Flood::kAnswers);
    devicelink::DeviceLinkLibrary lib;
    lib.SetDiscoveryTargets({flood.target()});
    std::vector<uint8_t> buffer(sdkinfo::kSearchBufferSize + 100, 0xEE);
    int count = -1;
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = ThreadCpuMs();
    EXPECT_EQ(lib.SDK_SearchDevices_v1_v3_MultiEth(buffer.data(), static_cast<int>(sdkinfo::kSearchBufferSize),
                                                   &count, 2, 400),
              1);
    const double cpuMs = ThreadCpuMs() - cpuStart;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    flood.Stop();
    ASSERT_LT(cpuMs, 400 + 500) << "search " << search << " worked " << cpuMs << " ms in " << ms.count()
                                << " ms; the flood sent " << flood.sent() << " datagrams";
    const devicelink::DiscoveryOutcome outcome = lib.LastDiscovery();
    EXPECT_GT(count, 0) << "the flood never reached the search";
    EXPECT_EQ(count, outcome.records);
    EXPECT_EQ(count, std::min(1024, outcome.records + outcome.overflow)) << outcome.overflow << " turned away";
    for (std::size_t i = sdkinfo::kSearchBufferSize; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0xEE) << i;
  }
}

TEST_F(DiscoveryTest, AFreeDiscoveryPortStaysThisSimulatorsOwn) {
  // Another fleet's simulator that asks for the same port is refused: were
  // it let in, every query sent there would reach it instead, and this
  // fleet's searches would list the other fleet's devices.
  devsim::Fleet other;
  other.devices.push_back(simtest::Device(range->Prefix() + "2.", 1));  // beside this fleet, in its range
  other.devices[0].model = "DV-OTHER";
  devsim::SimulatorOptions options;
  options.loopback = true;
  options.discovery = sim->discoveryEndpoints();
  devsim::Simulator intruder(std::move(other), options);
  std::string error;
  EXPECT_FALSE(intruder.Open(error));
  EXPECT_NE(error.find("discovery"), std::string::npos) << error;
  EXPECT_EQ(Search().size(), 3u);
}

TEST(DiscoveryCall, WithoutAnyTargetReportsFailure) {
  devicelink::DeviceLinkLibrary lib;
  lib.SetDiscoveryTargets({});
  std::vector<uint8_t> buffer(sdkinfo::kSearchBufferSize);
  int count = 5;
  EXPECT_EQ(lib.SDK_SearchDevices_v1_v3_MultiEth(buffer.data(), static_cast<int>(buffer.size()), &count, 2, 200), 0);
  EXPECT_EQ(count, 0);
}

TEST(DiscoveryCall, BadArgumentsFailAtOnce) {
  devicelink::DeviceLinkLibrary lib;
  lib.SetDiscoveryTargets({{0x7F000001u, 9}});
  std::vector<uint8_t> buffer(100);
  int count = 5;
  EXPECT_EQ(lib.SDK_SearchDevices_v1_v3_MultiEth(buffer.data(), 100, &count, 2, 200), 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(lib.SDK_SearchDevices_v1_v3_MultiEth(nullptr, 436, &count, 2, 200), 0);
}

TEST(DiscoveryTargets, ParsesTheEnvironmentList) {
  struct Case {
    const char* text;
    bool ok;
    std::size_t count;
  } cases[] = {
      {"none", true, 0},
      {"", true, 0},
      {"127.0.0.1:9610", true, 1},
      {"127.0.0.1:9610, 127.0.0.2:40000", true, 2},
      {"127.0.0.1", false, 0},
      {"127.0.0.1:0", false, 0},
      {"127.0.0.1:70000", false, 0},
      {"localhost:9610", false, 0},
      {"127.0.0.1:9610,bogus", false, 0},
  };
  for (const auto& c : cases) {
    bool ok = false;
    const auto list = devicelink::ParseTargetList(c.text, &ok);
    EXPECT_EQ(ok, c.ok) << c.text;
    EXPECT_EQ(list.size(), c.count) << c.text;
  }
}

TEST(DiscoveryTargets, EnvironmentDecidesWhenNothingIsInjected) {
  ::setenv(devicelink::kDiscoveryTargetsVariable, "127.0.0.9:4242", 1);
  devicelink::DeviceLinkLibrary lib;
  auto targets = lib.DiscoveryTargets();
  ASSERT_EQ(targets.size(), 1u);
  EXPECT_EQ(devicelink::FormatEndpoint(targets[0]), "127.0.0.9:4242");
  // A typo must not fall back to broadcasting.
  ::setenv(devicelink::kDiscoveryTargetsVariable, "127.0.0.9", 1);
  EXPECT_TRUE(lib.DiscoveryTargets().empty());
  // An injected list wins over the environment.
  lib.SetDiscoveryTargets({{0x7F000002u, 5}});
  targets = lib.DiscoveryTargets();
  ASSERT_EQ(targets.size(), 1u);
  EXPECT_EQ(targets[0].address, 0x7F000002u);
  ::setenv(devicelink::kDiscoveryTargetsVariable, "none", 1);
}

TEST(DiscoveryTargets, BroadcastListEndsWithTheLimitedBroadcast) {
  // Only computed, never sent to.
  const auto targets = devicelink::BroadcastTargets(9610);
  ASSERT_FALSE(targets.empty());
  EXPECT_EQ(targets.back().address, 0xFFFFFFFFu);
  for (const auto& t : targets) EXPECT_EQ(t.port, 9610);
}

}  // namespace
