#pragma once
// The few socket calls the configuration pair makes, behind one seam so that
// tests can fail any single step of the opening and see what gets closed.
// Production uses the POSIX calls unchanged.

#include <sys/socket.h>
#include <sys/types.h>

namespace lanconfig {

class SocketSystem {
 public:
  virtual ~SocketSystem() = default;
  virtual int Socket(int domain, int type, int protocol) = 0;
  virtual int SetSockOpt(int fd, int level, int name, const void* value, socklen_t length) = 0;
  virtual int Bind(int fd, const sockaddr* address, socklen_t length) = 0;
  virtual int SetNonBlocking(int fd) = 0;
  virtual ssize_t SendTo(int fd, const void* data, size_t size, const sockaddr* to, socklen_t length) = 0;
  // Non-blocking receive: -1 with errno EAGAIN when nothing is waiting.
  virtual ssize_t ReceiveFrom(int fd, void* buffer, size_t size, sockaddr* from, socklen_t* length) = 0;
  virtual int Close(int fd) = 0;
};

// The process-wide POSIX implementation.
SocketSystem& PosixSockets();

}  // namespace lanconfig
