#pragma once
// Deadline-bounded TCP helpers: no call here blocks past its deadline.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "libs/devicelink/wire_format.h"

namespace devicelink {

using Clock = std::chrono::steady_clock;
using Deadline = Clock::time_point;

inline Deadline DeadlineIn(int milliseconds) { return Clock::now() + std::chrono::milliseconds(milliseconds); }
// Milliseconds left, at least 0, for poll().
int MillisecondsLeft(Deadline deadline);

// An IPv4 endpoint, host byte order.
struct Endpoint {
  uint32_t address = 0;
  uint16_t port = 0;
  bool operator==(const Endpoint&) const = default;
};
// "a.b.c.d" -> host-order address; nullopt when it does not parse.
std::optional<uint32_t> ParseIpv4(const std::string& text);
// "a.b.c.d:port"
std::optional<Endpoint> ParseEndpoint(const std::string& text);
std::string FormatEndpoint(const Endpoint& e);
std::string FormatIpv4(uint32_t address);

// Owns one file descriptor.
class Socket {
 public:
  Socket() = default;
  explicit Socket(int fd) : fd_(fd) {}
  Socket(Socket&& o) noexcept : fd_(o.release()) {}
  Socket& operator=(Socket&& o) noexcept;
  ~Socket();
  int get() const { return fd_; }
  int release();
  bool valid() const { return fd_ >= 0; }
  // Wakes any thread blocked on this socket without freeing the descriptor.
  void Shutdown() const;

 private:
  int fd_ = -1;
};

enum class IoResult { kOk, kTimeout, kClosed, kRefused, kUnreachable, kProtocol };

// Connects within the deadline. Refused and unreachable are told apart from a timeout.
IoResult ConnectTcp(const Endpoint& to, Deadline deadline, Socket& out);
IoResult SendAll(int fd, std::span<const uint8_t> data, Deadline deadline);
// The parts one after another, as one stream of bytes, without joining them first.
IoResult SendAll(int fd, std::span<const std::span<const uint8_t>> parts, Deadline deadline);
// Reads until the reader holds a whole frame, or the deadline passes: once it
// has passed, no more frames are taken, however many are waiting.
IoResult ReceiveFrame(int fd, wire::FrameReader& reader, Deadline deadline, wire::Frame& out);

}  // namespace devicelink
