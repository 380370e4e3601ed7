#pragma once
// A program-side channel and a LanResponder wired together on loopback with
// free ports, so the exchanges run for real without leaving this machine.

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
#include "tests/unit/lanconfig/lan_test_parts.h"
#include "tools/lanresponder/lan_responder.h"

namespace lanconfig::testing {

// Whether a UDP socket can bind ip:port now, without address reuse: the
// proof that an exchange left nothing bound behind.
inline bool CanBindUdp(const char* ip, uint16_t port) {
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  inet_pton(AF_INET, ip, &a.sin_addr);
  const bool ok = bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  close(fd);
  return ok;
}

class LoopbackLan : public ::testing::Test {
 protected:
  void SetUp() override { receivePort_ = FreeLoopbackUdpPort(); }

  // Starts the responder; call after adding devices.
  void StartResponder() {
    lanresponder::ResponderEndpoints e;
    e.bindIp = "127.0.0.1";
    e.listenPort = 0;
    e.replyPort = receivePort_;
    e.broadcastIp = "127.0.0.1";  // never used for loopback senders; loopback all the same
    responder_ = std::make_unique<lanresponder::LanResponder>(e);
    for (const auto& d : devices_) ASSERT_TRUE(responder_->AddDevice(d));
    std::string error;
    ASSERT_TRUE(responder_->Start(&error)) << error;
  }

  LanEndpoints Endpoints() const {
    LanEndpoints e;
    e.sendBindIp = "127.0.0.1";
    e.sendBindPort = 0;
    e.targetIp = "127.0.0.1";
    e.targetPort = responder_ ? responder_->ListenPort() : FreeLoopbackUdpPort();
    e.receiveBindIp = "127.0.0.1";
    e.receivePort = receivePort_;
    return e;
  }

  // Runs one exchange through a fresh channel and measures it in the ticks
  // the channel counts its windows in. A window of N whole ticks may last a
  // little under N ms of another clock (its first tick may be nearly over),
  // so a measure by another clock could read N - 1 for a window kept exactly.
  template <typename Exchange>
  int Timed(Exchange exchange, TickSource tick = SteadyTickMs) {
    LanConfigChannel channel(Endpoints(), PosixSockets(), tick);
    const uint32_t start = tick();
    const int result = exchange(channel);
    elapsedMs_ = TicksSince(start, tick());
    socketsLeftOpen_ = channel.SocketsOpen();
    return result;
  }
  int RunV2(const DeviceRecord& r, TickSource tick = SteadyTickMs) {
    return Timed([&](LanConfigChannel& c) { return c.ModifyNetworkByBroadcastV2(r); }, std::move(tick));
  }
  int RunV3(const DeviceRecord& r, TickSource tick = SteadyTickMs) {
    return Timed([&](LanConfigChannel& c) { return c.ModifyNetworkByBroadcastV3(r); }, std::move(tick));
  }

  // The pair is closed: its ports can be bound again without reuse.
  void ExpectPairClosed() const {
    EXPECT_FALSE(socketsLeftOpen_);
    EXPECT_TRUE(CanBindUdp("127.0.0.1", receivePort_)) << "receive port still bound";
  }

  size_t Heard(lanresponder::DatagramKind kind) const { return responder_->CountHeard(kind); }

  std::vector<lanresponder::SimulatedDevice> devices_{Device()};
  std::unique_ptr<lanresponder::LanResponder> responder_;
  uint16_t receivePort_ = 0;
  long long elapsedMs_ = 0;
  bool socketsLeftOpen_ = true;
};

}  // namespace lanconfig::testing
