// Both ends of the LAN configuration datagrams with the protocol's own
// addresses and ports: 0.0.0.0:5003 -> 255.255.255.255:5000, answers on
// 5001. Runs only inside the private namespace of scripts/netns-run, where
// the program's address is 10.77.0.1.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "core/device/device_record.h"
#include "core/lanconfig/lan_config_channel.h"
#include "tests/support/private_network.h"
#include "tools/lanresponder/lan_responder.h"

namespace {

using lanconfig::LanConfigChannel;
using lanresponder::DatagramKind;

constexpr const char* kMac = "00:1A:2B:3C:4D:5E";

bool CanBindWithoutReuse(uint16_t port) {
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_ANY);
  const bool ok = bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  close(fd);
  return ok;
}

class LanConfigE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    DIVAROD_REQUIRE_PRIVATE_NETWORK();
    device_.mac = kMac;
    device_.capabilities = 0x08;
    device_.adminPassword = "admin-pass";
    // In the program's subnet: answers come back by unicast.
    device_.network = {"10.77.0.50", "255.255.255.0", "10.77.0.254", "10.77.0.253", "0.0.0.0", 2};
  }

  void Start(lanresponder::LanResponder& responder, const lanresponder::SimulatedDevice& device) {
    ASSERT_TRUE(responder.AddDevice(device));
    std::string error;
    ASSERT_TRUE(responder.Start(&error)) << error;
  }
  void Start() { Start(responder_, device_); }

  DeviceRecord Request(const std::string& mac = kMac) const {
    DeviceRecord r;
    r.mac = mac;
    r.ip = "192.168.7.20";
    r.gateway = "192.168.7.1";
    r.netmask = "255.255.255.0";
    r.dns1 = "192.168.7.2";
    r.dns2 = "192.168.7.3";
    r.dhcpMode = 2;
    r.password = "admin-pass";
    return r;
  }

  // Measured in the ticks the channel counts its windows in: a window of N
  // whole ticks may last a little under N ms of another clock.
  template <typename Exchange>
  int Run(Exchange exchange) {
    LanConfigChannel channel;  // the protocol's endpoints and clock
    const uint32_t start = lanconfig::SteadyTickMs();
    const int result = exchange(channel);
    elapsedMs_ = lanconfig::TicksSince(start, lanconfig::SteadyTickMs());
    EXPECT_FALSE(channel.SocketsOpen());
    EXPECT_TRUE(CanBindWithoutReuse(5001)) << "receive socket left open";
    EXPECT_TRUE(CanBindWithoutReuse(5003)) << "send socket left open";
    return result;
  }
  int V2(const DeviceRecord& r) { return Run([&](LanConfigChannel& c) { return c.ModifyNetworkByBroadcastV2(r); }); }
  int V3(const DeviceRecord& r) { return Run([&](LanConfigChannel& c) { return c.ModifyNetworkByBroadcastV3(r); }); }

  lanresponder::SimulatedDevice device_;
  lanresponder::LanResponder responder_;  // 0.0.0.0:5000, answers to 5001
  long long elapsedMs_ = 0;
};

TEST_F(LanConfigE2e, PlainChangeAnsweredAtOnceIsOneProbeAndOneChange) {
  Start();
  EXPECT_EQ(V2(Request()), lanconfig::kSuccess);
  ASSERT_TRUE(responder_.WaitForHeard(DatagramKind::kChangeV2, 1, std::chrono::seconds(2)));
  EXPECT_EQ(responder_.CountHeard(DatagramKind::kProbe), 1u);
  EXPECT_EQ(responder_.CountHeard(DatagramKind::kChangeV2), 1u);
  for (const auto& heard : responder_.Heard()) {
    EXPECT_EQ(heard.senderIp, divarod::testing::kNetnsHostIp);
    EXPECT_EQ(heard.senderPort, 5003);
  }
  EXPECT_EQ(responder_.Device(kMac)->network.ip, "192.168.7.20");
  EXPECT_FALSE(responder_.Sent().at(0).broadcast);
}

TEST_F(LanConfigE2e, PlainChangeToSilentDeviceIsAboutSixProbesAndNoChange) {
  device_.misbehaviour.silent = true;
  Start();
  EXPECT_EQ(V2(Request()), lanconfig::kFailed);
  EXPECT_GE(elapsedMs_, 3000);
  EXPECT_LE(responder_.CountHeard(DatagramKind::kProbe), 6u);
  EXPECT_GE(responder_.CountHeard(DatagramKind::kProbe), 4u);
  EXPECT_EQ(responder_.CountHeard(DatagramKind::kChangeV2), 0u);
}

TEST_F(LanConfigE2e, LowerCaseMacMatchesAndBroadcastAnswersArrive) {
  device_.network.ip = "192.168.1.10";  // outside the program's subnet: the device broadcasts
  device_.network.netmask = "255.255.255.0";
  Start();
  EXPECT_EQ(V2(Request("00:1a:2b:3c:4d:5e")), lanconfig::kSuccess);
  ASSERT_TRUE(responder_.WaitForHeard(DatagramKind::kChangeV2, 1, std::chrono::seconds(2)));
  ASSERT_FALSE(responder_.Sent().empty());
  EXPECT_TRUE(responder_.Sent().at(0).broadcast);
  EXPECT_EQ(responder_.Sent().at(0).toIp, "255.255.255.255");
}

TEST_F(LanConfigE2e, AuthenticatedChangeConfirmedByBroadcastEcho) {
  device_.network.ip = "172.16.5.5";
  device_.network.netmask = "255.255.0.0";
  Start();
  DeviceRecord r = Request();
  r.dhcpMode = 1;
  EXPECT_EQ(V3(r), lanconfig::kSuccess);
  const lanresponder::DeviceNetwork expected{"192.168.7.20", "255.255.255.0", "192.168.7.1",
                                             "192.168.7.2", "192.168.7.3", 1};
  EXPECT_EQ(responder_.Device(kMac)->network, expected);
  EXPECT_TRUE(responder_.Sent().at(0).broadcast);
}

TEST_F(LanConfigE2e, EchoForAnotherMacIsIgnoredAndTheWaitGoesOn) {
  // A second player of the same device answers at once, but for another MAC;
  // the real device answers 800 ms later.
  lanresponder::LanResponder impostor;
  lanresponder::SimulatedDevice other = device_;
  other.misbehaviour.answerAsMac = "00:1A:2B:3C:4D:00";
  Start(impostor, other);
  device_.misbehaviour.replyDelayMs = 800;
  Start();
  EXPECT_EQ(V3(Request()), lanconfig::kSuccess);
  EXPECT_GE(elapsedMs_, 800);
  EXPECT_EQ(impostor.Sent().size(), 1u);
}

TEST_F(LanConfigE2e, EchoOnlyForAnotherMacTimesOut) {
  device_.misbehaviour.answerAsMac = "00:1A:2B:3C:4D:00";
  Start();
  EXPECT_EQ(V3(Request()), lanconfig::kNoReply);
  EXPECT_GE(elapsedMs_, 3000);
}

TEST_F(LanConfigE2e, RefusalFailsBeforeTheWaitEnds) {
  device_.misbehaviour.refuse = true;
  Start();
  EXPECT_EQ(V3(Request()), lanconfig::kFailed);
  EXPECT_LT(elapsedMs_, 3000);
}

TEST_F(LanConfigE2e, AnotherGatewayEchoedFails) {
  device_.misbehaviour.echoGateway = "192.168.7.254";
  Start();
  EXPECT_EQ(V3(Request()), lanconfig::kFailed);
}

TEST_F(LanConfigE2e, TakenPort5001FailsTheOpeningAndBothExchanges) {
  Start();
  const int other = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(5001);
  a.sin_addr.s_addr = htonl(INADDR_ANY);
  ASSERT_EQ(bind(other, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  LanConfigChannel channel;
  EXPECT_EQ(channel.OpenConfigSockets(), lanconfig::kReceiveBindFailed);
  EXPECT_FALSE(channel.SocketsOpen());
  EXPECT_EQ(channel.ModifyNetworkByBroadcastV2(Request()), lanconfig::kFailed);
  EXPECT_EQ(channel.ModifyNetworkByBroadcastV3(Request()), lanconfig::kFailed);
  EXPECT_FALSE(channel.SocketsOpen());
  EXPECT_TRUE(CanBindWithoutReuse(5003));
  close(other);
  EXPECT_TRUE(responder_.Heard().empty());
}

}  // namespace
