#include "libs/devicelink/session.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

namespace devicelink {

LoginOutcome Session::Login(const Endpoint& device, const std::string& user, const std::string& password) {
  LoginOutcome out;
  const Deadline deadline = DeadlineIn(kLoginTimeoutMs);
  Socket socket;
  const IoResult connected = ConnectTcp(device, std::min(deadline, DeadlineIn(kConnectTimeoutMs)), socket);
  if (connected != IoResult::kOk) {
    out.error = wire::kCannotReachHost;
    return out;
  }
  std::shared_ptr<Session> s(new Session(device, std::move(socket)));
  auto failure = [&](const Reply& r) {
    if (r.io == IoResult::kTimeout) return static_cast<int>(wire::kLoginTimeout);
    // Garbage, a bad header or a frame longer than any: the device answered,
    // but nothing that makes sense.
    if (r.io == IoResult::kProtocol) return static_cast<int>(wire::kOtherError);
    if (r.io != IoResult::kOk) return static_cast<int>(wire::kCannotReachHost);
    if (r.status >= 1 && r.status <= 11) return static_cast<int>(r.status);
    return static_cast<int>(wire::kOtherError);
  };

  const Reply challenge = s->Exchange(wire::Type::kChallenge, msg::Encode(msg::ChallengeRequest{user}), 0, deadline);
  if (!challenge.ok()) {
    out.error = failure(challenge);
    return out;
  }
  const auto nonce = msg::DecodeChallengeReply(challenge.payload);
  if (!nonce) {
    out.error = wire::kOtherError;
    return out;
  }
  msg::LoginRequest request;
  request.user = user;
  msg::RandomBytes(request.clientNonce);
  const Digest key = msg::PasswordKey(user, password);
  request.proof = msg::LoginProof(key, nonce->deviceNonce, request.clientNonce, user);
  const Reply login = s->Exchange(wire::Type::kLogin, msg::Encode(request), 0, deadline);
  if (!login.ok()) {
    out.error = failure(login);
    return out;
  }
  const auto accepted = msg::DecodeLoginReply(login.payload);
  if (!accepted) {
    out.error = wire::kOtherError;
    return out;
  }
  s->credentials_.token = accepted->token;
  s->credentials_.sessionKey = msg::SessionKey(key, nonce->deviceNonce, request.clientNonce);
  out.deviceInfo = accepted->deviceInfo;
  out.session = std::move(s);
  return out;
}

std::shared_ptr<Session> Session::Join(const Endpoint& device, const Credentials& credentials, int timeoutMs) {
  const Deadline deadline = DeadlineIn(timeoutMs);
  Socket socket;
  if (ConnectTcp(device, std::min(deadline, DeadlineIn(kConnectTimeoutMs)), socket) != IoResult::kOk) return nullptr;
  std::shared_ptr<Session> s(new Session(device, std::move(socket)));
  msg::JoinRequest request;
  request.token = credentials.token;
  msg::RandomBytes(request.clientNonce);
  request.proof = msg::JoinProof(credentials.sessionKey, credentials.token, request.clientNonce);
  if (!s->Exchange(wire::Type::kJoin, msg::Encode(request), 0, deadline).ok()) return nullptr;
  s->credentials_ = credentials;
  return s;
}

Reply Session::Exchange(wire::Type type, std::span<const uint8_t> payload, uint32_t sequence, Deadline deadline,
                        std::span<const uint8_t> body) {
  Reply r;
  if (dead_) {
    r.io = IoResult::kClosed;
    return r;
  }
  const auto header = wire::EncodeHeader(type, sequence, 0, static_cast<uint32_t>(payload.size() + body.size()));
  const std::span<const uint8_t> parts[] = {header, payload, body};
  r.io = SendAll(socket_.get(), parts, deadline);
  if (r.io != IoResult::kOk) {
    // Part of a frame may have left: the stream is out of step for good.
    Close();
    return r;
  }
  while (r.io == IoResult::kOk) {
    wire::Frame reply;
    r.io = ReceiveFrame(socket_.get(), reader_, deadline, reply);
    if (r.io != IoResult::kOk) break;
    if (reply.header.type != type || reply.header.sequence != sequence) continue;  // a late answer
    r.status = reply.header.status;
    r.payload = std::move(reply.payload);
    return r;
  }
  // A timeout leaves the stream in step (late answers are skipped by their
  // sequence); anything else ends the connection.
  if (r.io != IoResult::kTimeout) Close();
  return r;
}

Reply Session::CallInTurn(int timeoutMs, const std::function<Reply(uint32_t, Deadline)>& exchange) {
  const Deadline deadline = DeadlineIn(timeoutMs);
  // Another call on the same login holds the connection: wait for it, but
  // never beyond this call's own timeout.
  if (!TakeTurn(deadline)) {
    Reply r;
    r.io = IoResult::kTimeout;
    return r;
  }
  const TurnRelease release{this};
  const uint32_t sequence = nextSequence_++;
  return exchange(sequence, deadline);
}

Reply Session::Call(wire::Type type, const std::function<std::vector<uint8_t>(uint32_t)>& payload, int timeoutMs) {
  return CallInTurn(timeoutMs, [&](uint32_t sequence, Deadline deadline) {
    return Exchange(type, payload(sequence), sequence, deadline);
  });
}

bool Session::TakeTurn(Deadline deadline) {
  std::unique_lock lock(turnMutex_);
  if (!turnFree_.wait_until(lock, deadline, [this] { return !inCall_; })) return false;
  inCall_ = true;
  return true;
}

bool Session::TryTakeTurn() {
  std::lock_guard lock(turnMutex_);
  if (inCall_) return false;
  inCall_ = true;
  return true;
}

void Session::EndTurn() {
  {
    std::lock_guard lock(turnMutex_);
    inCall_ = false;
  }
  turnFree_.notify_one();
}

Reply Session::Call(wire::Type type, std::vector<uint8_t> payload, int timeoutMs) {
  return Call(type, [&](uint32_t) { return payload; }, timeoutMs);
}

Reply Session::Call(wire::Type type, std::span<const uint8_t> prefix, std::span<const uint8_t> body, int timeoutMs) {
  return CallInTurn(timeoutMs, [&](uint32_t sequence, Deadline deadline) {
    return Exchange(type, prefix, sequence, deadline, body);
  });
}

IoResult Session::Receive(wire::Frame& out, Deadline deadline) {
  if (dead_) return IoResult::kClosed;
  const IoResult r = ReceiveFrame(socket_.get(), reader_, deadline, out);
  if (r != IoResult::kOk && r != IoResult::kTimeout) Close();
  return r;
}

bool Session::LooksAlive() {
  if (dead_) return false;
  if (!TryTakeTurn()) return true;  // in a call: that call finds out
  const TurnRelease release{this};
  pollfd p{socket_.get(), POLLIN, 0};
  if (::poll(&p, 1, 0) <= 0) return true;
  uint8_t byte;
  const ssize_t n = ::recv(socket_.get(), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) || (p.revents & (POLLHUP | POLLERR))) {
    Close();
    return false;
  }
  return true;
}

void Session::Close() {
  dead_ = true;
  socket_.Shutdown();
}

}  // namespace devicelink
