#pragma once
// A device played by a test on 127.0.0.1, for the answers no simulated
// device gives: garbage, a bad header, a block cut short, a flood of frames.
// It reads the library's requests frame by frame, hands each to the test's
// script, and keeps the type of every request it heard. A thread per
// connection; the destructor closes every connection and joins them.

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "libs/devicelink/messages.h"
#include "libs/devicelink/wire_format.h"

namespace scripted {

namespace wire = devicelink::wire;
namespace msg = devicelink::msg;

class Connection {
 public:
  Connection(int fd, const std::atomic<bool>& stopping) : fd_(fd), stopping_(stopping) {}

  // Every byte, or false once the library has gone or the device stops.
  bool Send(std::span<const uint8_t> bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
      if (stopping_) return false;
      const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return false;
      sent += static_cast<std::size_t>(n);
    }
    return true;
  }
  bool Reply(const wire::Frame& request, int32_t status, std::span<const uint8_t> payload = {}) {
    return Send(wire::Encode(request.header.type, request.header.sequence, status, payload));
  }
  // Challenge and Login are taken whatever the proof (the library does not
  // check the device), Logout too. True when the frame was one of them.
  bool AnswerLogin(const wire::Frame& f) {
    switch (f.header.type) {
      case wire::Type::kChallenge: {
        msg::ChallengeReply reply;
        msg::RandomBytes(reply.deviceNonce);
        Reply(f, wire::kOk, msg::Encode(reply));
        return true;
      }
      case wire::Type::kLogin: {
        msg::LoginReply reply;
        msg::RandomBytes(reply.token);
        Reply(f, wire::kOk, msg::Encode(reply));
        return true;
      }
      case wire::Type::kLogout:
        Reply(f, wire::kOk);
        return true;
      default:
        return false;
    }
  }
  bool stopping() const { return stopping_; }

 private:
  int fd_;
  const std::atomic<bool>& stopping_;
};

// What the device does with one request.
using Script = std::function<void(Connection&, const wire::Frame& request)>;

class ScriptedDevice {
 public:
  explicit ScriptedDevice(Script script) : script_(std::move(script)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(listener_, 8) != 0) return;
    socklen_t length = sizeof a;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &length);
    port_ = ntohs(a.sin_port);
    acceptor_ = std::thread([this] { Accept(); });
  }
  ~ScriptedDevice() {
    stopping_ = true;
    ::shutdown(listener_, SHUT_RDWR);  // wakes accept()
    if (acceptor_.joinable()) acceptor_.join();
    {
      std::lock_guard lock(mutex_);
      for (int fd : connections_) ::shutdown(fd, SHUT_RDWR);
    }
    for (auto& t : workers_) t.join();
    for (int fd : connections_) ::close(fd);
    ::close(listener_);
  }

  // 0 when the listener could not be opened.
  uint16_t port() const { return port_; }
  int CountHeard(wire::Type type) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count(heard_.begin(), heard_.end(), type));
  }

 private:
  void Accept() {
    for (;;) {
      const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0 || stopping_) {
        if (fd >= 0) ::close(fd);
        return;
      }
      std::lock_guard lock(mutex_);
      connections_.push_back(fd);
      workers_.emplace_back([this, fd] { Serve(fd); });
    }
  }
  void Serve(int fd) {
    Connection connection(fd, stopping_);
    wire::FrameReader reader;
    uint8_t buffer[64 * 1024];
    while (!stopping_) {
      const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) return;
      reader.Feed(std::span<const uint8_t>(buffer, static_cast<std::size_t>(n)));
      while (auto frame = reader.Next()) {
        {
          std::lock_guard lock(mutex_);
          heard_.push_back(frame->header.type);
        }
        script_(connection, *frame);
      }
      if (reader.broken()) return;
    }
  }

  Script script_;
  int listener_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::vector<int> connections_;
  std::vector<std::thread> workers_;
  std::vector<wire::Type> heard_;
};

}  // namespace scripted
