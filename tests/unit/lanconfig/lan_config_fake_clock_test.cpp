// The timing of the two exchanges on a fake clock (fake_clock_lan.h): when
// each probe leaves, when the change follows the answer, where the waits end,
// and the tick counter wrapping inside a window. The same exchanges on real
// sockets and real time: lan_config_channel_test.cpp.
#include <gtest/gtest.h>

#include "core/device/device_record.h"
#include "core/lanconfig/lan_config_channel.h"
#include "tests/unit/lanconfig/fake_clock_lan.h"
#include "tests/unit/lanconfig/loopback_lan.h"

namespace lanconfig::testing {
namespace {

using lanresponder::DatagramKind;
using lanresponder::JunkMode;
using lanresponder::Misbehaviour;

constexpr uint32_t kWrapsOneSecondIn = 0xFFFFFFFFu - 1000u;
constexpr uint32_t kWrapsAtOnce = 0xFFFFFFFFu - 10u;
// One exchange through a channel on the fake clock, with one device.
struct FakeExchange {
  explicit FakeExchange(const lanresponder::SimulatedDevice& device, uint32_t startTick = 1000) : lan(startTick) {
    EXPECT_TRUE(lan.fleet.Add(device));
  }
  int V2(const DeviceRecord& r) {
    LanConfigChannel channel({}, lan, lan.Tick(), lan.Idle());
    const int result = channel.ModifyNetworkByBroadcastV2(r);
    EXPECT_EQ(lan.openSockets, 0) << "the pair stays open";
    return result;
  }
  int V3(const DeviceRecord& r) {
    LanConfigChannel channel({}, lan, lan.Tick(), lan.Idle());
    const int result = channel.ModifyNetworkByBroadcastV3(r);
    EXPECT_EQ(lan.openSockets, 0) << "the pair stays open";
    return result;
  }
  std::string DeviceIp() { return lan.fleet.Find(kMac)->network.ip; }
  FakeClockLan lan;
};

// A probe at once, then each time more than 500 ms have passed (the wait
// goes in 50 ms steps), until 3000 ms: six probes.
const std::vector<uint32_t> kSixProbes = {0, 550, 1100, 1650, 2200, 2750};

TEST(PlainChangeOnAFakeClock, SilentDeviceGetsSixProbesInTheWindowWhereverTheCounterStands) {
  for (uint32_t start : {1000u, kWrapsOneSecondIn, kWrapsAtOnce}) {
    lanresponder::SimulatedDevice device = Device();
    device.misbehaviour.silent = true;
    FakeExchange x(device, start);
    EXPECT_EQ(x.V2(ChangeRequest()), kFailed) << start;
    EXPECT_EQ(x.lan.SentAt(DatagramKind::kProbe), kSixProbes) << start;
    EXPECT_TRUE(x.lan.SentAt(DatagramKind::kChangeV2).empty()) << start;
    EXPECT_EQ(x.lan.ElapsedMs(), kProbeWindowMs) << start;
  }
}

TEST(PlainChangeOnAFakeClock, TheChangeLeavesWhenTheFirstAnswerArrives) {
  const struct {
    uint32_t replyDelayMs;
    int result;
    std::vector<uint32_t> probes;
    std::vector<uint32_t> change;
  } cases[] = {
      {0, kSuccess, {0}, {0}},
      {700, kSuccess, {0, 550}, {700}},  // the first probe's answer, not the second's
      {2950, kSuccess, kSixProbes, {2950}},  // the window's last step
      {3000, kFailed, kSixProbes, {}},       // the window has ended
      {3600, kFailed, kSixProbes, {}},
  };
  for (const auto& c : cases) {
    lanresponder::SimulatedDevice device = Device();
    device.misbehaviour.replyDelayMs = c.replyDelayMs;
    FakeExchange x(device);
    EXPECT_EQ(x.V2(ChangeRequest()), c.result) << c.replyDelayMs;
    EXPECT_EQ(x.lan.SentAt(DatagramKind::kProbe), c.probes) << c.replyDelayMs;
    EXPECT_EQ(x.lan.SentAt(DatagramKind::kChangeV2), c.change) << c.replyDelayMs;
    EXPECT_EQ(x.DeviceIp(), c.result == kSuccess ? "192.168.1.77" : "192.168.1.10") << c.replyDelayMs;
  }
}

TEST(PlainChangeOnAFakeClock, AnswersThatAreNoMatchDoNotEndTheWindow) {
  const struct {
    const char* what;
    void (*misbehave)(Misbehaviour&);
  } cases[] = {
      {"answers for another MAC", [](Misbehaviour& m) { m.answerAsMac = "00:1A:2B:3C:4D:5F"; }},
      {"only junk", [](Misbehaviour& m) { m.junk = JunkMode::kInsteadOfAnswer; }},
  };
  for (const auto& c : cases) {
    lanresponder::SimulatedDevice device = Device();
    c.misbehave(device.misbehaviour);
    FakeExchange x(device);
    EXPECT_EQ(x.V2(ChangeRequest()), kFailed) << c.what;
    EXPECT_EQ(x.lan.SentAt(DatagramKind::kProbe), kSixProbes) << c.what;
    EXPECT_EQ(x.lan.ElapsedMs(), kProbeWindowMs) << c.what;
  }
}

// Other traffic on the reply port from the start: the answer is taken when it
// comes, and the probes keep their period whatever arrives.
TEST(PlainChangeOnAFakeClock, OtherTrafficNeitherHidesTheAnswerNorMovesTheProbes) {
  const struct {
    uint32_t junkPerSecond;
    uint32_t replyDelayMs;
    bool silent;
    int result;
    std::vector<uint32_t> probes;
    std::vector<uint32_t> change;
  } cases[] = {
      {300, 200, false, kSuccess, {0}, {200}},
      {60, 1000, false, kSuccess, {0, 550}, {1000}},
      {3000, 700, false, kSuccess, {0, 550}, {700}},
      {300, 0, true, kFailed, kSixProbes, {}},
  };
  for (const auto& c : cases) {
    lanresponder::SimulatedDevice device = Device();
    device.misbehaviour.replyDelayMs = c.replyDelayMs;
    device.misbehaviour.silent = c.silent;
    FakeExchange x(device);
    x.lan.AddJunkTraffic(c.junkPerSecond, kProbeWindowMs);
    EXPECT_EQ(x.V2(ChangeRequest()), c.result) << c.junkPerSecond << "/s, answer after " << c.replyDelayMs;
    EXPECT_EQ(x.lan.SentAt(DatagramKind::kProbe), c.probes) << c.junkPerSecond << "/s";
    EXPECT_EQ(x.lan.SentAt(DatagramKind::kChangeV2), c.change) << c.junkPerSecond << "/s";
  }
}

TEST(AuthenticatedChangeOnAFakeClock, OneChangeAndTheEchoDecidesWhenAndHow) {
  const struct {
    const char* what;
    void (*shape)(lanresponder::SimulatedDevice&);
    int result;
    uint32_t endsAtMs;
  } cases[] = {
      {"confirmed at once", [](lanresponder::SimulatedDevice&) {}, kSuccess, 0},
      {"confirmed late", [](lanresponder::SimulatedDevice& d) { d.misbehaviour.replyDelayMs = 2950; }, kSuccess, 2950},
      // Datagrams that are no answer are read on at once, without a pause.
      {"junk before the echo", [](lanresponder::SimulatedDevice& d) { d.misbehaviour.junk = JunkMode::kBeforeAnswer; },
       kSuccess, 0},
      {"refused", [](lanresponder::SimulatedDevice& d) { d.misbehaviour.refuse = true; }, kFailed, 0},
      {"another gateway echoed",
       [](lanresponder::SimulatedDevice& d) { d.misbehaviour.echoGateway = "192.168.1.253"; }, kFailed, 0},
      {"silent", [](lanresponder::SimulatedDevice& d) { d.misbehaviour.silent = true; }, kNoReply, kReplyWaitMs},
      {"echo too late", [](lanresponder::SimulatedDevice& d) { d.misbehaviour.replyDelayMs = 3600; }, kNoReply,
       kReplyWaitMs},
      {"echo for another MAC",
       [](lanresponder::SimulatedDevice& d) { d.misbehaviour.answerAsMac = "00:1A:2B:3C:4D:00"; }, kNoReply,
       kReplyWaitMs},
      {"only junk", [](lanresponder::SimulatedDevice& d) { d.misbehaviour.junk = JunkMode::kInsteadOfAnswer; },
       kNoReply, kReplyWaitMs},
      {"a plain device ignores it", [](lanresponder::SimulatedDevice& d) { d.capabilities = 0; }, kNoReply,
       kReplyWaitMs},
  };
  for (const auto& c : cases) {
    lanresponder::SimulatedDevice device = Device();
    c.shape(device);
    FakeExchange x(device);
    EXPECT_EQ(x.V3(ChangeRequest()), c.result) << c.what;
    EXPECT_EQ(x.lan.SentAt(DatagramKind::kChangeV3), std::vector<uint32_t>{0}) << c.what;
    EXPECT_TRUE(x.lan.SentAt(DatagramKind::kProbe).empty()) << c.what;
    EXPECT_EQ(x.lan.ElapsedMs(), c.endsAtMs) << c.what;
  }
}

// Other programs' datagrams on the reply port, as many per second as each
// case says, from the start of the exchange on: the echo is read when it
// comes, whatever arrived before it.
TEST(AuthenticatedChangeOnAFakeClock, OtherTrafficDoesNotHideTheEcho) {
  const struct {
    uint32_t junkPerSecond;
    uint32_t replyDelayMs;
  } cases[] = {{300, 200}, {60, 1000}, {3000, 200}, {300, 2950}};
  for (const auto& c : cases) {
    lanresponder::SimulatedDevice device = Device();
    device.misbehaviour.replyDelayMs = c.replyDelayMs;
    FakeExchange x(device);
    x.lan.AddJunkTraffic(c.junkPerSecond, kReplyWaitMs);
    EXPECT_EQ(x.V3(ChangeRequest()), kSuccess) << c.junkPerSecond << "/s, echo after " << c.replyDelayMs;
    EXPECT_EQ(x.lan.ElapsedMs(), c.replyDelayMs) << c.junkPerSecond << "/s, echo after " << c.replyDelayMs;
    EXPECT_EQ(x.lan.SentAt(DatagramKind::kChangeV3), std::vector<uint32_t>{0});
  }
}

TEST(AuthenticatedChangeOnAFakeClock, TheWaitEndsAfterItsTimeWhereverTheCounterStands) {
  for (uint32_t start : {1000u, kWrapsOneSecondIn, kWrapsAtOnce}) {
    lanresponder::SimulatedDevice device = Device();
    device.misbehaviour.silent = true;
    FakeExchange x(device, start);
    EXPECT_EQ(x.V3(ChangeRequest()), kNoReply) << start;
    EXPECT_EQ(x.lan.ElapsedMs(), kReplyWaitMs) << start;
  }
}

TEST(AuthenticatedChangeOnAFakeClock, PasswordLongerThanItsFieldSendsNothing) {
  FakeExchange x(Device());
  DeviceRecord request = ChangeRequest();
  request.password = std::string(97, 'k');
  EXPECT_EQ(x.V3(request), kFailed);
  EXPECT_TRUE(x.lan.sent.empty());
  EXPECT_EQ(x.lan.ElapsedMs(), 0u);
}

}  // namespace
}  // namespace lanconfig::testing
