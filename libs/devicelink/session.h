#pragma once
// One logged-in connection to a device: requests and their replies over TCP,
// each bounded by its own timeout.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "libs/devicelink/messages.h"
#include "libs/devicelink/socket_io.h"

namespace devicelink {

inline constexpr int kConnectTimeoutMs = 3000;
inline constexpr int kLoginTimeoutMs = 5000;

struct Reply {
  IoResult io = IoResult::kOk;
  int32_t status = 0;
  std::vector<uint8_t> payload;
  bool ok() const { return io == IoResult::kOk && status == wire::kOk; }
};

struct Credentials {
  msg::Token token{};
  Digest sessionKey{};
};

class Session;

struct LoginOutcome {
  std::shared_ptr<Session> session;  // null when refused
  int error = 0;                     // the login error code when refused
  std::array<uint8_t, msg::kDeviceInfoSize> deviceInfo{};
};

class Session {
 public:
  // Challenge, then proof; bounded by kLoginTimeoutMs in all. Error codes:
  // the device's login status (wrong password, unknown user, locked, ...),
  // kLoginTimeout when it stops answering, kCannotReachHost when no
  // connection can be made, kOtherError for an answer that makes no sense.
  static LoginOutcome Login(const Endpoint& device, const std::string& user, const std::string& password);
  // A second connection into an existing login (used by the firmware upgrade).
  static std::shared_ptr<Session> Join(const Endpoint& device, const Credentials& credentials, int timeoutMs);

  // One request and its reply within timeoutMs. The payload builder gets the
  // request's sequence number. A reply to an earlier, timed-out request is
  // skipped. After a broken connection every call fails at once.
  Reply Call(wire::Type type, const std::function<std::vector<uint8_t>(uint32_t)>& payload, int timeoutMs);
  Reply Call(wire::Type type, std::vector<uint8_t> payload, int timeoutMs);
  // A request whose payload is `prefix` followed by `body`, sent as they lie
  // in memory (the upgrade's chunks go out of the shared image uncopied).
  Reply Call(wire::Type type, std::span<const uint8_t> prefix, std::span<const uint8_t> body, int timeoutMs);
  // Waits for a frame the device sends on its own (upgrade progress).
  IoResult Receive(wire::Frame& out, Deadline deadline);

  // False once the device has closed the connection (found without
  // blocking; a session in a call counts as alive).
  bool LooksAlive();
  // Wakes a blocked call and marks the session dead; safe from any thread.
  void Close();
  bool dead() const { return dead_; }
  const Endpoint& device() const { return device_; }
  const Credentials& credentials() const { return credentials_; }

 private:
  Session(const Endpoint& device, Socket socket) : device_(device), socket_(std::move(socket)) {}
  Reply Exchange(wire::Type type, std::span<const uint8_t> payload, uint32_t sequence, Deadline deadline,
               std::span<const uint8_t> body = {});
  // The connection carries one call at a time. Taking a turn waits no longer
  // than the deadline; a plain mutex and condition variable rather than a
  // timed mutex, so the thread sanitizer can follow the hand-over.
  bool TakeTurn(Deadline deadline);
  bool TryTakeTurn();
  void EndTurn();
  struct TurnRelease {
    Session* session;
    ~TurnRelease() { session->EndTurn(); }
  };
  // A call's turn: waits for it (a timeout once the call's own time is up),
  // then runs exchange with the call's sequence and deadline.
  Reply CallInTurn(int timeoutMs, const std::function<Reply(uint32_t sequence, Deadline deadline)>& exchange);

  Endpoint device_;
  Socket socket_;
  wire::FrameReader reader_;
  std::mutex turnMutex_;
  std::condition_variable turnFree_;
  bool inCall_ = false;  // under turnMutex_
  uint32_t nextSequence_ = 1;
  Credentials credentials_;
  std::atomic<bool> dead_{false};
};

}  // namespace devicelink
