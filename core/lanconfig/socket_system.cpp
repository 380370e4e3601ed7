#include "core/lanconfig/socket_system.h"

#include <fcntl.h>
#include <unistd.h>

namespace lanconfig {
namespace {

class Posix final : public SocketSystem {
 public:
  int Socket(int domain, int type, int protocol) override { return ::socket(domain, type, protocol); }
  int SetSockOpt(int fd, int level, int name, const void* value, socklen_t length) override {
    return ::setsockopt(fd, level, name, value, length);
  }
  int Bind(int fd, const sockaddr* address, socklen_t length) override { return ::bind(fd, address, length); }
  int SetNonBlocking(int fd) override {
    const int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags < 0) return -1;
    return ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  }
  ssize_t SendTo(int fd, const void* data, size_t size, const sockaddr* to, socklen_t length) override {
    return ::sendto(fd, data, size, MSG_NOSIGNAL, to, length);
  }
  ssize_t ReceiveFrom(int fd, void* buffer, size_t size, sockaddr* from, socklen_t* length) override {
    return ::recvfrom(fd, buffer, size, MSG_DONTWAIT, from, length);
  }
  int Close(int fd) override { return ::close(fd); }
};

}  // namespace

SocketSystem& PosixSockets() {
  static Posix posix;
  return posix;
}

}  // namespace lanconfig
