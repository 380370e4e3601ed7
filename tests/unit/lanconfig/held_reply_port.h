#pragma once
// A reply port on 127.0.0.1 that a loopback test keeps between its exchanges.
//
// The channel binds its receive port for one exchange and closes it after.
// A port that was merely free when the test began is unbound in between, so
// the system may hand it to any other socket on the machine that asks for a
// free port (another test, another suite); the next exchange then fails to
// open (-1 at once). HeldReplyPort binds the port to a placeholder socket of
// its own and, as the channel's socket layer, lets go of it only inside the
// channel's bind of that port and takes it back as soon as the channel closes
// that socket. Everything else goes to the POSIX calls unchanged.
//
//   HeldReplyPort replyPort;
//   endpoints.receivePort = replyPort.port();  // and the responder's replyPort
//   LanConfigChannel channel(endpoints, replyPort);
//
// One thread at a time: the channel's own.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

#include "core/lanconfig/socket_system.h"

namespace lanconfig::testing {

class HeldReplyPort final : public SocketSystem {
 public:
  HeldReplyPort() { Take(0); }
  ~HeldReplyPort() override { LetGo(); }
  HeldReplyPort(const HeldReplyPort&) = delete;
  HeldReplyPort& operator=(const HeldReplyPort&) = delete;

  uint16_t port() const { return port_; }
  // Whether the placeholder has the port now. False during an exchange, and
  // after one only when another socket took the port the moment it was free.
  bool held() const { return placeholder_ >= 0; }

  int Socket(int domain, int type, int protocol) override { return posix_.Socket(domain, type, protocol); }
  int SetSockOpt(int fd, int level, int name, const void* value, socklen_t length) override {
    return posix_.SetSockOpt(fd, level, name, value, length);
  }
  int Bind(int fd, const sockaddr* address, socklen_t length) override {
    if (!IsThePort(address, length)) return posix_.Bind(fd, address, length);
    LetGo();
    const int result = posix_.Bind(fd, address, length);
    if (result == 0)
      lentTo_ = fd;
    else
      Take(port_);
    return result;
  }
  int SetNonBlocking(int fd) override { return posix_.SetNonBlocking(fd); }
  ssize_t SendTo(int fd, const void* data, size_t size, const sockaddr* to, socklen_t length) override {
    return posix_.SendTo(fd, data, size, to, length);
  }
  ssize_t ReceiveFrom(int fd, void* buffer, size_t size, sockaddr* from, socklen_t* length) override {
    return posix_.ReceiveFrom(fd, buffer, size, from, length);
  }
  int Close(int fd) override {
    const int result = posix_.Close(fd);
    if (fd == lentTo_) {
      lentTo_ = -1;
      Take(port_);
    }
    return result;
  }

 private:
  bool IsThePort(const sockaddr* address, socklen_t length) const {
    if (address == nullptr || length < static_cast<socklen_t>(sizeof(sockaddr_in)) || address->sa_family != AF_INET)
      return false;
    return port_ != 0 && ntohs(reinterpret_cast<const sockaddr_in*>(address)->sin_port) == port_;
  }
  // Binds the placeholder without address reuse, so that no other socket
  // can share the port while it is held (port 0: a free one).
  void Take(uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) != 0) {
      ::close(fd);
      return;
    }
    placeholder_ = fd;
    port_ = ntohs(a.sin_port);
  }
  void LetGo() {
    if (placeholder_ >= 0) ::close(placeholder_);
    placeholder_ = -1;
  }

  SocketSystem& posix_ = PosixSockets();
  int placeholder_ = -1;
  int lentTo_ = -1;
  uint16_t port_ = 0;
};

}  // namespace lanconfig::testing
