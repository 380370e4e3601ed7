// Every step of opening the pair can fail; each gives its own code and
// leaves no socket open. Send failures end the exchanges with their codes.
#include <gtest/gtest.h>

#include <set>

#include "core/lanconfig/lan_config_channel.h"
#include "core/lanconfig/socket_system.h"
#include "tests/unit/lanconfig/loopback_lan.h"

namespace lanconfig::testing {
namespace {

// Real sockets, with one chosen call made to fail; keeps count of the
// descriptors it handed out and that were closed.
class FailingSockets final : public SocketSystem {
 public:
  enum class Step { kNone, kSocket1, kReuse, kBroadcast, kBind1, kSocket2, kBind2, kNonBlocking };
  Step failAt = Step::kNone;
  int failSendNumber = 0;  // 1-based send to fail; 0 none
  std::set<int> open;
  int sends = 0;

  int Socket(int domain, int type, int protocol) override {
    ++sockets_;
    if ((failAt == Step::kSocket1 && sockets_ == 1) || (failAt == Step::kSocket2 && sockets_ == 2)) return -1;
    const int fd = PosixSockets().Socket(domain, type, protocol);
    if (fd >= 0) open.insert(fd);
    return fd;
  }
  int SetSockOpt(int fd, int level, int name, const void* value, socklen_t length) override {
    if (failAt == Step::kReuse && name == SO_REUSEADDR) return -1;
    if (failAt == Step::kBroadcast && name == SO_BROADCAST) return -1;
    return PosixSockets().SetSockOpt(fd, level, name, value, length);
  }
  int Bind(int fd, const sockaddr* address, socklen_t length) override {
    ++binds_;
    if ((failAt == Step::kBind1 && binds_ == 1) || (failAt == Step::kBind2 && binds_ == 2)) return -1;
    return PosixSockets().Bind(fd, address, length);
  }
  int SetNonBlocking(int fd) override {
    if (failAt == Step::kNonBlocking) return -1;
    return PosixSockets().SetNonBlocking(fd);
  }
  ssize_t SendTo(int fd, const void* data, size_t size, const sockaddr* to, socklen_t length) override {
    if (++sends == failSendNumber) return -1;
    return PosixSockets().SendTo(fd, data, size, to, length);
  }
  ssize_t ReceiveFrom(int fd, void* buffer, size_t size, sockaddr* from, socklen_t* length) override {
    return PosixSockets().ReceiveFrom(fd, buffer, size, from, length);
  }
  int Close(int fd) override {
    open.erase(fd);
    return PosixSockets().Close(fd);
  }
  void Reset() { sockets_ = binds_ = sends = 0; }

 private:
  int sockets_ = 0;
  int binds_ = 0;
};

class OpenConfigSockets : public LoopbackLan {};

TEST_F(OpenConfigSockets, EachFailedStepHasItsCodeAndClosesWhatWasOpened) {
  using Step = FailingSockets::Step;
  struct Case { Step step; int code; } cases[] = {
      {Step::kSocket1, kSendSocketFailed},    {Step::kReuse, kReuseAddressFailed},
      {Step::kBroadcast, kBroadcastFailed},   {Step::kBind1, kSendBindFailed},
      {Step::kSocket2, kReceiveSocketFailed}, {Step::kBind2, kReceiveBindFailed},
      {Step::kNonBlocking, kNonBlockingFailed}, {Step::kNone, kOpened},
  };
  for (const auto& c : cases) {
    FailingSockets sockets;
    sockets.failAt = c.step;
    LanConfigChannel channel(Endpoints(), sockets);
    EXPECT_EQ(channel.OpenConfigSockets(), c.code);
    if (c.code == kOpened) {
      EXPECT_EQ(sockets.open.size(), 2u);
      EXPECT_TRUE(channel.SocketsOpen());
      channel.CloseConfigSockets();
    }
    EXPECT_TRUE(sockets.open.empty()) << "code " << c.code;
    EXPECT_FALSE(channel.SocketsOpen());
    // The exchange around it fails and closes all the same.
    sockets.Reset();
    if (c.code != kOpened) {
      EXPECT_EQ(channel.ModifyNetworkByBroadcastV3(ChangeRequest()), kFailed);
    }
    EXPECT_TRUE(sockets.open.empty());
  }
}

TEST_F(OpenConfigSockets, OpeningAgainClosesThePairLeftOpen) {
  FailingSockets sockets;
  LanConfigChannel channel(Endpoints(), sockets);
  ASSERT_EQ(channel.OpenConfigSockets(), kOpened);
  const std::set<int> first = sockets.open;
  ASSERT_EQ(channel.OpenConfigSockets(), kOpened);
  EXPECT_EQ(sockets.open.size(), 2u);
  channel.CloseConfigSockets();
  EXPECT_TRUE(sockets.open.empty());
}

TEST_F(OpenConfigSockets, SendFailuresEndTheExchangesWithTheirCodes) {
  StartResponder();
  struct Case { const char* what; bool v3; int failSend; int result; } cases[] = {
      {"first probe", false, 1, kFirstSendFailed},
      {"change after the reply", false, 2, kFailed},
      {"authenticated change", true, 1, kFirstSendFailed},
  };
  for (const auto& c : cases) {
    FailingSockets sockets;
    sockets.failSendNumber = c.failSend;
    LanConfigChannel channel(Endpoints(), sockets);
    const DeviceRecord request = ChangeRequest();
    EXPECT_EQ(c.v3 ? channel.ModifyNetworkByBroadcastV3(request) : channel.ModifyNetworkByBroadcastV2(request),
              c.result)
        << c.what;
    EXPECT_TRUE(sockets.open.empty()) << c.what;
  }
}

TEST_F(OpenConfigSockets, RepeatedProbeThatCannotBeSentFails) {
  devices_[0].misbehaviour.silent = true;
  StartResponder();
  FailingSockets sockets;
  sockets.failSendNumber = 2;
  LanConfigChannel channel(Endpoints(), sockets);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(channel.ModifyNetworkByBroadcastV2(ChangeRequest()), kFailed);
  // It ends at the second probe, after about 500 ms, not at the end of the window.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kProbeWindowMs));
  EXPECT_EQ(sockets.sends, 2);
  EXPECT_TRUE(sockets.open.empty());
}

}  // namespace
}  // namespace lanconfig::testing
