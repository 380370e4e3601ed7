// The two exchanges against a responder on loopback: what the device hears,
// what the program concludes, and that the pair is closed afterwards. The
// timing cases (every probe's moment, the ends of the waits, the tick counter
// wrapping) run on a fake clock in lan_config_fake_clock_test.cpp; the few
// here show the same on real sockets and real time.
#include "core/lanconfig/lan_config_channel.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/unit/lanconfig/loopback_lan.h"

namespace lanconfig::testing {
namespace {

using lanresponder::DatagramKind;
using lanresponder::JunkMode;
using lanresponder::Misbehaviour;

class PlainChange : public LoopbackLan {};
class AuthenticatedChange : public LoopbackLan {};

TEST_F(PlainChange, DeviceThatAnswersAtOnceGetsOneProbeAndOneChange) {
  StartResponder();
  EXPECT_EQ(RunV2(ChangeRequest()), kSuccess);
  ASSERT_TRUE(responder_->WaitForHeard(DatagramKind::kChangeV2, 1, std::chrono::seconds(2)));
  EXPECT_EQ(Heard(DatagramKind::kProbe), 1u);
  EXPECT_EQ(Heard(DatagramKind::kChangeV2), 1u);
  const auto device = responder_->Device(kMac);
  EXPECT_EQ(device->network.ip, "192.168.1.77");
  EXPECT_EQ(device->network.gateway, "192.168.1.254");
  EXPECT_EQ(device->network.netmask, "255.255.255.0");
  EXPECT_EQ(device->network.dns1, "8.8.8.8") << "the plain change carries no DNS";
  ExpectPairClosed();
}

TEST_F(PlainChange, LowerCaseMacTextStillMatches) {
  StartResponder();
  EXPECT_EQ(RunV2(ChangeRequest("00:1a:2b:3c:4d:5e")), kSuccess);
  ASSERT_TRUE(responder_->WaitForHeard(DatagramKind::kChangeV2, 1, std::chrono::seconds(2)));
  EXPECT_EQ(responder_->Device(kMac)->network.ip, "192.168.1.77");
}

TEST_F(PlainChange, SilentDeviceGetsAboutSixProbesAndNoChange) {
  devices_[0].misbehaviour.silent = true;
  StartResponder();
  EXPECT_EQ(RunV2(ChangeRequest()), kFailed);
  EXPECT_GE(elapsedMs_, static_cast<long long>(kProbeWindowMs));
  // A probe at 0 and then each time more than 500 ms passed: at most six in 3 s.
  EXPECT_LE(Heard(DatagramKind::kProbe), 6u);
  EXPECT_GE(Heard(DatagramKind::kProbe), 4u);
  EXPECT_EQ(Heard(DatagramKind::kChangeV2), 0u);
  ExpectPairClosed();
}

TEST_F(PlainChange, LateAnswerStillLeadsToTheChange) {
  devices_[0].misbehaviour.replyDelayMs = 700;
  StartResponder();
  EXPECT_EQ(RunV2(ChangeRequest()), kSuccess);
  EXPECT_GE(elapsedMs_, 700);
  ASSERT_TRUE(responder_->WaitForHeard(DatagramKind::kChangeV2, 1, std::chrono::seconds(2)));
  EXPECT_GE(Heard(DatagramKind::kProbe), 2u);
}

TEST_F(PlainChange, AnswersForOtherDevicesAreNotTaken) {
  devices_[0].misbehaviour.answerAsMac = "00:1A:2B:3C:4D:5F";
  devices_.push_back(Device("00:00:00:00:00:01"));
  StartResponder();
  EXPECT_EQ(RunV2(ChangeRequest()), kFailed);
  EXPECT_EQ(Heard(DatagramKind::kChangeV2), 0u);
}

TEST_F(PlainChange, ChangeReachesOnlyTheDeviceItNames) {
  devices_.push_back(Device("00:00:00:00:00:01"));
  StartResponder();
  EXPECT_EQ(RunV2(ChangeRequest()), kSuccess);
  ASSERT_TRUE(responder_->WaitForHeard(DatagramKind::kChangeV2, 1, std::chrono::seconds(2)));
  EXPECT_EQ(responder_->Device(kMac)->network.ip, "192.168.1.77");
  EXPECT_EQ(responder_->Device("00:00:00:00:00:01")->network.ip, "192.168.1.10");
}

TEST_F(PlainChange, JunkAroundTheAnswer) {
  struct Case { JunkMode junk; int result; } cases[] = {
      {JunkMode::kBeforeAnswer, kSuccess},
      {JunkMode::kInsteadOfAnswer, kFailed},
  };
  for (const auto& c : cases) {
    devices_[0].misbehaviour.junk = c.junk;
    StartResponder();
    EXPECT_EQ(RunV2(ChangeRequest()), c.result);
    ExpectPairClosed();
  }
}

TEST_F(AuthenticatedChange, DeviceConfirmsEveryValue) {
  StartResponder();
  DeviceRecord request = ChangeRequest();
  request.dhcpMode = 1;
  EXPECT_EQ(RunV3(request), kSuccess);
  const auto device = responder_->Device(kMac);
  const lanresponder::DeviceNetwork expected{"192.168.1.77", "255.255.255.0", "192.168.1.254",
                                             "9.9.9.9", "1.1.1.1", 1};
  EXPECT_EQ(device->network, expected);
  EXPECT_EQ(Heard(DatagramKind::kChangeV3), 1u);
  EXPECT_EQ(Heard(DatagramKind::kProbe), 0u);
  ExpectPairClosed();
}

TEST_F(AuthenticatedChange, RefusalGivesFailureAtOnce) {
  devices_[0].misbehaviour.refuse = true;
  StartResponder();
  EXPECT_EQ(RunV3(ChangeRequest()), kFailed);
  EXPECT_LT(elapsedMs_, static_cast<long long>(kReplyWaitMs));
  EXPECT_EQ(responder_->Device(kMac)->network.ip, "192.168.1.10");
  ExpectPairClosed();
}

TEST_F(AuthenticatedChange, WrongPasswordIsRefusedByTheDevice) {
  StartResponder();
  DeviceRecord request = ChangeRequest();
  request.password = "guess";
  EXPECT_EQ(RunV3(request), kFailed);
  EXPECT_LT(elapsedMs_, static_cast<long long>(kReplyWaitMs));
  EXPECT_EQ(responder_->Device(kMac)->network.ip, "192.168.1.10");
}

TEST_F(AuthenticatedChange, AnotherGatewayEchoedIsAFailure) {
  devices_[0].misbehaviour.echoGateway = "192.168.1.253";
  StartResponder();
  EXPECT_EQ(RunV3(ChangeRequest()), kFailed);
  EXPECT_LT(elapsedMs_, static_cast<long long>(kReplyWaitMs));
}

// Every way of not confirming, the tick counter wrapping and the other
// timing cases run on the fake clock (lan_config_fake_clock_test.cpp); this
// one shows the wait on real time.
TEST_F(AuthenticatedChange, SilentDeviceIsATimeoutAfterTheWait) {
  devices_[0].misbehaviour.silent = true;
  StartResponder();
  EXPECT_EQ(RunV3(ChangeRequest()), kNoReply);
  EXPECT_GE(elapsedMs_, static_cast<long long>(kReplyWaitMs));
  EXPECT_EQ(Heard(DatagramKind::kChangeV3), 1u);
  ExpectPairClosed();
}

TEST_F(AuthenticatedChange, JunkBeforeTheEchoIsIgnored) {
  devices_[0].misbehaviour.junk = JunkMode::kBeforeAnswer;
  StartResponder();
  EXPECT_EQ(RunV3(ChangeRequest()), kSuccess);
}

TEST_F(AuthenticatedChange, PasswordLongerThanItsFieldIsRefusedBeforeSending) {
  devices_[0].adminPassword = std::string(96, 'k');
  StartResponder();
  DeviceRecord request = ChangeRequest();
  request.password = std::string(97, 'k');
  EXPECT_EQ(RunV3(request), kFailed);
  EXPECT_LT(elapsedMs_, 1000);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(responder_->Heard().empty());
  ExpectPairClosed();

  request.password = std::string(96, 'k');  // exactly the field: sent whole
  EXPECT_EQ(RunV3(request), kSuccess);
}

class TakenReceivePort : public LoopbackLan {};

TEST_F(TakenReceivePort, OpenFailsAtTheReceiveBindAndTheExchangeFails) {
  StartResponder();
  const int other = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(receivePort_);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(other, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);

  LanConfigChannel channel(Endpoints());
  EXPECT_EQ(channel.OpenConfigSockets(), kReceiveBindFailed);
  EXPECT_FALSE(channel.SocketsOpen());
  EXPECT_EQ(channel.ModifyNetworkByBroadcastV2(ChangeRequest()), kFailed);
  EXPECT_EQ(channel.ModifyNetworkByBroadcastV3(ChangeRequest()), kFailed);
  EXPECT_FALSE(channel.SocketsOpen());
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(responder_->Heard().empty()) << "nothing is sent without the pair";
  close(other);

  EXPECT_EQ(channel.OpenConfigSockets(), kOpened);
  channel.CloseConfigSockets();
  EXPECT_TRUE(CanBindUdp("127.0.0.1", receivePort_));
}

}  // namespace
}  // namespace lanconfig::testing
