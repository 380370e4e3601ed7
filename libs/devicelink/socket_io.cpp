#include "libs/devicelink/socket_io.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <vector>

namespace devicelink {

int MillisecondsLeft(Deadline deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  if (left <= 0) return 0;
  return left > 1'000'000 ? 1'000'000 : static_cast<int>(left);
}

namespace {

// After a call that would block: waits until fd is ready for events. kOk when
// the caller may try again (ready, or the wait was interrupted); kTimeout once
// the deadline has passed; kClosed when the wait itself failed.
IoResult AwaitReady(int fd, short events, Deadline deadline) {
  pollfd p{fd, events, 0};
  const int left = MillisecondsLeft(deadline);
  if (left == 0) return IoResult::kTimeout;
  const int r = ::poll(&p, 1, left);
  if (r == 0) return IoResult::kTimeout;
  if (r < 0 && errno != EINTR) return IoResult::kClosed;
  return IoResult::kOk;
}

}  // namespace

std::optional<uint32_t> ParseIpv4(const std::string& text) {
  in_addr a{};
  if (inet_pton(AF_INET, text.c_str(), &a) != 1) return std::nullopt;
  return ntohl(a.s_addr);
}

std::optional<Endpoint> ParseEndpoint(const std::string& text) {
  const auto colon = text.rfind(':');
  if (colon == std::string::npos) return std::nullopt;
  const auto ip = ParseIpv4(text.substr(0, colon));
  unsigned port = 0;
  const char* first = text.data() + colon + 1;
  const char* last = text.data() + text.size();
  const auto [end, ec] = std::from_chars(first, last, port);
  if (!ip || ec != std::errc() || end != last || first == last || port == 0 || port > 65535) return std::nullopt;
  return Endpoint{*ip, static_cast<uint16_t>(port)};
}

std::string FormatIpv4(uint32_t address) {
  in_addr a{};
  a.s_addr = htonl(address);
  char buf[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &a, buf, sizeof buf);
  return buf;
}

std::string FormatEndpoint(const Endpoint& e) { return FormatIpv4(e.address) + ":" + std::to_string(e.port); }

Socket& Socket::operator=(Socket&& o) noexcept {
  if (this != &o) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = o.release();
  }
  return *this;
}

Socket::~Socket() {
  if (fd_ >= 0) ::close(fd_);
}

int Socket::release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

void Socket::Shutdown() const {
  if (fd_ >= 0) ::shutdown(fd_, SHUT_RDWR);
}

IoResult ConnectTcp(const Endpoint& to, Deadline deadline, Socket& out) {
  Socket s(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!s.valid()) return IoResult::kUnreachable;
  const int one = 1;
  ::setsockopt(s.get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(to.port);
  addr.sin_addr.s_addr = htonl(to.address);
  if (::connect(s.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    if (errno == ECONNREFUSED) return IoResult::kRefused;
    if (errno != EINPROGRESS) return IoResult::kUnreachable;
    pollfd p{s.get(), POLLOUT, 0};
    int n;
    do {
      n = ::poll(&p, 1, MillisecondsLeft(deadline));
    } while (n < 0 && errno == EINTR);
    if (n == 0) return IoResult::kTimeout;
    int err = 0;
    socklen_t len = sizeof err;
    if (n < 0 || ::getsockopt(s.get(), SOL_SOCKET, SO_ERROR, &err, &len) != 0) return IoResult::kUnreachable;
    if (err == ECONNREFUSED) return IoResult::kRefused;
    if (err != 0) return IoResult::kUnreachable;
  }
  out = std::move(s);
  return IoResult::kOk;
}

IoResult SendAll(int fd, std::span<const std::span<const uint8_t>> parts, Deadline deadline) {
  std::vector<iovec> pending;
  for (const auto& part : parts)
    if (!part.empty()) pending.push_back(iovec{const_cast<uint8_t*>(part.data()), part.size()});
  std::size_t first = 0;
  while (first < pending.size()) {
    msghdr message{};
    message.msg_iov = pending.data() + first;
    message.msg_iovlen = pending.size() - first;
    ssize_t n = ::sendmsg(fd, &message, MSG_NOSIGNAL);
    if (n > 0) {
      // Skip what left, part by part.
      while (n > 0) {
        iovec& v = pending[first];
        const std::size_t taken = std::min(static_cast<std::size_t>(n), v.iov_len);
        v.iov_base = static_cast<uint8_t*>(v.iov_base) + taken;
        v.iov_len -= taken;
        n -= static_cast<ssize_t>(taken);
        if (v.iov_len == 0) ++first;
      }
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (const IoResult waited = AwaitReady(fd, POLLOUT, deadline); waited != IoResult::kOk) return waited;
      continue;
    }
    return IoResult::kClosed;
  }
  return IoResult::kOk;
}

IoResult SendAll(int fd, std::span<const uint8_t> data, Deadline deadline) {
  return SendAll(fd, std::span<const std::span<const uint8_t>>(&data, 1), deadline);
}

IoResult ReceiveFrame(int fd, wire::FrameReader& reader, Deadline deadline, wire::Frame& out) {
  uint8_t buf[64 * 1024];
  for (;;) {
    // Checked on every pass, also while bytes keep coming: a peer that never
    // stops sending (replies to earlier requests, say) cannot hold the caller
    // past its bound. What is left unread stays in the reader and the socket,
    // so the stream stays in step for the next call.
    if (Clock::now() >= deadline) return IoResult::kTimeout;
    if (auto f = reader.Next()) {
      out = std::move(*f);
      return IoResult::kOk;
    }
    if (reader.broken()) return IoResult::kProtocol;
    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n > 0) {
      reader.Feed(std::span<const uint8_t>(buf, static_cast<std::size_t>(n)));
      continue;
    }
    if (n == 0) return IoResult::kClosed;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return IoResult::kClosed;
    if (const IoResult waited = AwaitReady(fd, POLLIN, deadline); waited != IoResult::kOk) return waited;
  }
}

}  // namespace devicelink
