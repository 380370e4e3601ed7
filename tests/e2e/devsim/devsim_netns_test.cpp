// The production discovery path: real broadcasts (every interface's
// broadcast address and 255.255.255.255, port 9610) to the simulator with
// every device on an address of its own. Only inside scripts/netns-run.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "core/device/sdk_device_info.h"
#include "core/lanconfig/lan_config_channel.h"
#include "libs/devicelink/devicelink.h"
#include "tests/e2e/devsim/devsim_process.h"
#include "tests/support/private_network.h"

namespace {

std::vector<DeviceRecord> Search(devicelink::DeviceLinkLibrary& lib) {
  std::vector<uint8_t> buffer(sdkinfo::kSearchBufferSize);
  int count = 0;
  EXPECT_EQ(lib.SDK_SearchDevices_v1_v3_MultiEth(buffer.data(), static_cast<int>(buffer.size()), &count, 2, 3000), 1);
  std::vector<DeviceRecord> out;
  for (int i = 0; i < count; ++i)
    out.push_back(sdkinfo::ReadRecord(std::span<const uint8_t>(buffer).subspan(i * sdkinfo::kRecordSize)));
  return out;
}

TEST(DevsimPrivateNetwork, BroadcastDiscoveryFindsTheDemoFleetOnItsOwnAddresses) {
  DIVAROD_REQUIRE_PRIVATE_NETWORK();
  ::unsetenv(devicelink::kDiscoveryTargetsVariable);  // the production targets
  simtest::DevsimProcess sim;
  ASSERT_TRUE(sim.Start(DEVSIM_BIN, {"--fleet", DEMO_FLEET, "--assign-addresses", "dvr1"})) << sim.output;
  devicelink::DeviceLinkLibrary lib;
  const auto targets = lib.DiscoveryTargets();
  bool limited = false, subnet = false;
  for (const auto& t : targets) {
    limited |= devicelink::FormatEndpoint(t) == "255.255.255.255:9610";
    subnet |= devicelink::FormatEndpoint(t) == "10.77.0.255:9610";
  }
  EXPECT_TRUE(limited && subnet);

  const auto records = Search(lib);
  ASSERT_EQ(records.size(), 16u);
  const DeviceRecord* lobby = nullptr;
  for (const auto& r : records)
    if (r.mac == "00:1c:27:a0:00:01") lobby = &r;
  ASSERT_TRUE(lobby);
  EXPECT_EQ(lobby->ip, "192.168.1.21");
  int error = -1;
  uint8_t info[64];
  const int32_t h = lib.SdkLogin(lobby->ip.c_str(), lobby->tcpPort, "admin", "admin123", info, &error, 0, 0);
  ASSERT_NE(h, 0) << error;
  char text[64] = {};
  int length = 0;
  EXPECT_EQ(lib.SdkQueryText(h, 50, text, 64, &length, 1000), 1);
  EXPECT_NE(std::string(text).find("Build:"), std::string::npos);
  lib.SdkLogout(h);
}

TEST(DevsimPrivateNetwork, LanChangeOnTheFixedPortsShowsInTheNextBroadcastDiscovery) {
  DIVAROD_REQUIRE_PRIVATE_NETWORK();
  ::unsetenv(devicelink::kDiscoveryTargetsVariable);
  simtest::DevsimProcess sim;
  ASSERT_TRUE(sim.Start(DEVSIM_BIN, {"--fleet", DEMO_FLEET, "--assign-addresses", "dvr1"})) << sim.output;
  ASSERT_NE(sim.output.find("lan=0.0.0.0:5000"), std::string::npos) << sim.output;

  DeviceRecord request;  // the lobby dome takes the authenticated change
  request.mac = "00:1c:27:a0:00:01";
  request.ip = "192.168.1.99";
  request.netmask = "255.255.255.0";
  request.gateway = "192.168.1.254";
  request.dns1 = "9.9.9.9";
  request.dns2 = "1.1.1.1";
  request.dhcpMode = 2;
  request.password = "admin123";
  lanconfig::LanConfigChannel channel;  // the protocol's own ports and 255.255.255.255
  ASSERT_EQ(channel.ModifyNetworkByBroadcastV3(request), 1);

  devicelink::DeviceLinkLibrary lib;
  const DeviceRecord* moved = nullptr;
  const auto records = Search(lib);
  for (const auto& r : records)
    if (r.mac == request.mac) moved = &r;
  ASSERT_TRUE(moved);
  EXPECT_EQ(moved->ip, "192.168.1.99");
  EXPECT_EQ(moved->gateway, "192.168.1.254");
  int error = -1;
  uint8_t info[64];
  const int32_t h = lib.SdkLogin(moved->ip.c_str(), moved->tcpPort, "admin", "admin123", info, &error, 0, 0);
  EXPECT_NE(h, 0) << error;
}

// An address this machine holds is one a socket can bind.
bool IsLocalAddress(const std::string& ip) {
  const auto address = devicelink::ParseIpv4(ip);
  if (!address) return false;
  const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(*address);
  const bool bound = ::bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
  ::close(s);
  return bound;
}

bool LogsIn(devicelink::DeviceLinkLibrary& lib, const std::string& ip) {
  int error = -1;
  uint8_t info[64];
  const int32_t h = lib.SdkLogin(ip.c_str(), 34567, "admin", "admin123", info, &error, 0, 0);
  if (h == 0) ADD_FAILURE() << "login at " << ip << " failed with " << error;
  else lib.SdkLogout(h);
  return h != 0;
}

// The lobby dome holds the first address the simulator gives in its subnet:
// removing it must leave its neighbours' addresses (and the namespace's own)
// in place.
TEST(DevsimPrivateNetwork, AReaddressedDeviceTakesItsNewAddressAndGivesBackTheOld) {
  DIVAROD_REQUIRE_PRIVATE_NETWORK();
  simtest::DevsimProcess sim;
  ASSERT_TRUE(sim.Start(DEVSIM_BIN, {"--fleet", DEMO_FLEET, "--assign-addresses", "dvr1"})) << sim.output;
  ASSERT_TRUE(IsLocalAddress("192.168.1.21"));

  DeviceRecord request;
  request.mac = "00:1c:27:a0:00:01";
  request.ip = "192.168.1.99";
  request.netmask = "255.255.255.0";
  request.gateway = "192.168.1.1";
  request.dhcpMode = 2;
  request.password = "admin123";
  lanconfig::LanConfigChannel channel;
  ASSERT_EQ(channel.ModifyNetworkByBroadcastV3(request), 1);

  // The device answers only once it serves at its new address.
  EXPECT_TRUE(IsLocalAddress("192.168.1.99"));
  EXPECT_FALSE(IsLocalAddress("192.168.1.21"));
  EXPECT_TRUE(IsLocalAddress("192.168.1.22"));
  EXPECT_TRUE(IsLocalAddress("10.77.0.2"));
  devicelink::DeviceLinkLibrary lib;
  EXPECT_TRUE(LogsIn(lib, "192.168.1.22"));

  // A factory reset brings it back at the fleet's address after its restart.
  int error = -1;
  uint8_t info[64];
  const int32_t h = lib.SdkLogin("192.168.1.99", 34567, "admin", "admin123", info, &error, 0, 0);
  ASSERT_NE(h, 0) << error;
  EXPECT_EQ(lib.SdkFactoryReset(h, 0x80000000u), 1);
  lib.SdkLogout(h);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!(IsLocalAddress("192.168.1.21") && !IsLocalAddress("192.168.1.99")) &&
         std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(IsLocalAddress("192.168.1.21"));
  EXPECT_FALSE(IsLocalAddress("192.168.1.99"));
  EXPECT_TRUE(LogsIn(lib, "192.168.1.21"));
  EXPECT_TRUE(LogsIn(lib, "192.168.1.22"));
}

TEST(DevsimPrivateNetwork, AssigningAddressesIsRefusedOutsideTheNamespace) {
  // Started by hand outside netns-run this runs too, and must refuse.
  ::unsetenv("DIVAROD_NETNS");
  std::string output;
  EXPECT_EQ(simtest::DevsimProcess::RunToEnd(DEVSIM_BIN, {"--fleet", DEMO_FLEET, "--assign-addresses", "dvr1"}, output),
            1);
  EXPECT_NE(output.find("only inside scripts/netns-run"), std::string::npos) << output;
}

}  // namespace
