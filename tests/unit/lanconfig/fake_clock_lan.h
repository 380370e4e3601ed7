#pragma once
// The program's side of the LAN datagrams on a fake clock: a tick source that
// moves only when the exchange waits, and a socket layer whose far end is the
// devices' side of the protocol (lanresponder::DeviceFleet, the code the LAN
// responder runs). An answer a device sends comes back once the fake clock
// has reached its delay. No real socket and no real time: a 3 s window takes
// no time, and every probe's moment is exact.

#include <cerrno>
#include <cstring>
#include <vector>

#include <arpa/inet.h>

#include "core/lanconfig/socket_system.h"
#include "core/lanconfig/tick_clock.h"
#include "tools/lanresponder/device_fleet.h"

namespace lanconfig::testing {

class FakeClockLan final : public SocketSystem {
 public:
  struct Sent {
    uint32_t atMs;  // after the start
    lanresponder::DatagramKind kind;
  };

  explicit FakeClockLan(uint32_t startTick = 1000) : start_(startTick), now_(startTick) {}

  TickSource Tick() {
    return [this] { return now_; };
  }
  IdleWait Idle() {
    return [this](uint32_t ms) { now_ += ms; };
  }
  uint32_t ElapsedMs() const { return now_ - start_; }

  // The moments (after the start) at which datagrams of this kind left.
  std::vector<uint32_t> SentAt(lanresponder::DatagramKind kind) const {
    std::vector<uint32_t> at;
    for (const auto& s : sent)
      if (s.kind == kind) at.push_back(s.atMs);
    return at;
  }

  int Socket(int, int, int) override {
    ++openSockets;
    return nextFd_++;
  }
  int SetSockOpt(int, int, int, const void*, socklen_t) override { return 0; }
  int Bind(int, const sockaddr*, socklen_t) override { return 0; }
  int SetNonBlocking(int) override { return 0; }
  ssize_t SendTo(int, const void* data, size_t size, const sockaddr*, socklen_t) override {
    const auto* bytes = static_cast<const uint8_t*>(data);
    const lanresponder::Outcome out = fleet.Handle(bytes, size);
    sent.push_back({now_ - start_, out.kind});
    for (const auto& answer : out.answers) pending_.push_back({now_ + answer.delayMs, answer.bytes});
    return static_cast<ssize_t>(size);
  }
  // Other traffic on the reply port: `perSecond` datagrams of 8 junk bytes,
  // evenly spread over the next `forMs` milliseconds.
  void AddJunkTraffic(uint32_t perSecond, uint32_t forMs) {
    const uint64_t count = uint64_t{perSecond} * forMs / 1000;
    for (uint64_t i = 0; i < count; ++i)
      pending_.push_back({now_ + static_cast<uint32_t>(i * 1000 / perSecond), {'j', 'u', 'n', 'k', 0, 1, 2, 3}});
  }

  ssize_t ReceiveFrom(int, void* buffer, size_t size, sockaddr* from, socklen_t* length) override {
    // The earliest answer that is due; answers due together in the order sent.
    auto next = pending_.end();
    for (auto it = pending_.begin(); it != pending_.end(); ++it) {
      const bool due = static_cast<int32_t>(now_ - it->dueTick) >= 0;
      if (due && (next == pending_.end() || static_cast<int32_t>(next->dueTick - it->dueTick) > 0)) next = it;
    }
    if (next == pending_.end()) {
      errno = EAGAIN;
      return -1;
    }
    const size_t n = std::min(size, next->bytes.size());
    if (n > 0) std::memcpy(buffer, next->bytes.data(), n);  // junk may be an empty datagram
    if (from != nullptr && length != nullptr && *length >= sizeof(sockaddr_in)) {
      sockaddr_in device{};
      device.sin_family = AF_INET;
      device.sin_port = htons(5000);
      device.sin_addr.s_addr = htonl(0x0A000002);
      std::memcpy(from, &device, sizeof device);
      *length = sizeof device;
    }
    pending_.erase(next);
    return static_cast<ssize_t>(n);
  }
  int Close(int) override {
    --openSockets;
    return 0;
  }

  lanresponder::DeviceFleet fleet;
  std::vector<Sent> sent;
  int openSockets = 0;

 private:
  struct Pending {
    uint32_t dueTick;
    std::vector<uint8_t> bytes;
  };
  const uint32_t start_;
  uint32_t now_;
  int nextFd_ = 100;
  std::vector<Pending> pending_;
};

}  // namespace lanconfig::testing
