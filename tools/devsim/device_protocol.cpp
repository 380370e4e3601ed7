#include "tools/devsim/device_protocol.h"

#include <cstring>

#include "libs/devicelink/stream_messages.h"
#include "tools/devsim/stream_source.h"

namespace devsim {
namespace {

namespace wire = devicelink::wire;
namespace msg = devicelink::msg;
using wire::Type;

Outcome Reply(const wire::Frame& request, int32_t status, std::span<const uint8_t> payload = {},
              Next next = Next::kNothing) {
  return {wire::Encode(request.header.type, request.header.sequence, status, payload), next};
}

std::array<uint8_t, msg::kDeviceInfoSize> DeviceInfo(const SimDevice& d) {
  std::array<uint8_t, msg::kDeviceInfoSize> info{};
  wire::Writer w;
  w.Text(d.mac(), 24).Text(d.profile().type, 24);
  std::memcpy(info.data(), w.data().data(), info.size());
  return info;
}

Outcome Login(SimDevice& d, ConnectionState& c, const wire::Frame& f, SimTime now) {
  const auto request = msg::DecodeLoginRequest(f.payload);
  if (!request || !c.challenge || c.challenge->first != request->user) return Reply(f, wire::kBadRequest);
  const msg::Nonce deviceNonce = c.challenge->second;
  c.challenge.reset();  // one proof per challenge
  if (d.profile().refuseLogin != 0) return Reply(f, d.profile().refuseLogin);
  SimUser* user = d.FindUser(request->user);
  if (!user) return Reply(f, wire::kUnknownUser);
  if (now < user->lockedUntil) return Reply(f, wire::kUserLocked);
  const auto expected = msg::LoginProof(user->key, deviceNonce, request->clientNonce, request->user);
  if (!msg::Equal(expected, request->proof)) {
    ++user->failures;
    if (d.profile().lockAfter > 0 && user->failures >= d.profile().lockAfter) {
      user->failures = 0;
      user->lockedUntil = now + std::chrono::milliseconds(d.profile().lockMs);
    }
    return Reply(f, wire::kWrongPassword);
  }
  user->failures = 0;
  msg::LoginReply reply;
  msg::RandomBytes(reply.token);
  reply.deviceInfo = DeviceInfo(d);
  d.sessions[reply.token] = {request->user, msg::SessionKey(user->key, deviceNonce, request->clientNonce)};
  c.authenticated = true;
  c.token = reply.token;
  return Reply(f, wire::kOk, msg::Encode(reply));
}

Outcome Join(SimDevice& d, ConnectionState& c, const wire::Frame& f) {
  const auto request = msg::DecodeJoinRequest(f.payload);
  if (!request) return Reply(f, wire::kBadRequest);
  const auto it = d.sessions.find(request->token);
  if (it == d.sessions.end() ||
      !msg::Equal(msg::JoinProof(it->second.sessionKey, request->token, request->clientNonce), request->proof))
    return Reply(f, wire::kNotLoggedIn);
  c.authenticated = true;
  c.token = request->token;
  return Reply(f, wire::kOk);
}

Outcome ModifyUser(SimDevice& d, ConnectionState& c, const wire::Frame& f) {
  const auto request = msg::DecodeModifyUserRequest(f.payload);
  if (!request) return Reply(f, wire::kBadRequest);
  if (request->operation != 6) return Reply(f, wire::kUnsupported);  // 6: change a password
  auto name = [](const std::vector<uint8_t>& entry) {
    const auto* text = reinterpret_cast<const char*>(entry.data() + msg::kUserNameOffset);
    return std::string(text, strnlen(text, msg::kUserPasswordOffset - msg::kUserNameOffset));
  };
  const std::string user = name(request->oldEntry);
  if (name(request->newEntry) != user) return Reply(f, wire::kBadRequest);
  SimUser* u = d.FindUser(user);
  if (!u) return Reply(f, wire::kUnknownUser);
  if (!msg::Equal(msg::ModifyOldProof(u->key, c.token, f.header.sequence), request->oldProof))
    return Reply(f, wire::kWrongPassword);
  const auto& session = d.sessions.at(c.token);
  const std::string password =
      msg::PasswordOf(msg::MaskPassword(request->newPassword, session.sessionKey, c.token, f.header.sequence));
  d.SetUser(*u, request->newEntry, password);
  return Reply(f, wire::kOk);
}

Outcome Upgrade(SimDevice&, ConnectionState& c, const wire::Frame& f) {
  switch (f.header.type) {
    case Type::kUpgradeBegin: {
      const auto request = msg::DecodeUpgradeBeginRequest(f.payload);
      if (!request || request->size == 0 || request->size > kMaxImage) return Reply(f, wire::kBadRequest);
      if (c.writing) return Reply(f, wire::kDeviceBusy);
      c.upload.emplace();
      c.upload->size = request->size;
      c.upload->sha256 = request->sha256;
      return Reply(f, wire::kOk);
    }
    case Type::kUpgradeData: {
      const auto request = msg::DecodeUpgradeDataRequest(f.payload);
      if (!request || !c.upload || request->offset != c.upload->received ||
          request->data.size() > c.upload->size - c.upload->received)
        return Reply(f, wire::kBadRequest);
      c.upload->hasher.Update(request->data);
      c.upload->received += request->data.size();
      return Reply(f, wire::kOk);
    }
    default: {  // commit
      if (!c.upload || c.upload->received != c.upload->size) return Reply(f, wire::kBadRequest);
      const bool intact = msg::Equal(c.upload->hasher.Finish(), c.upload->sha256);
      c.upload.reset();
      if (!intact) return Reply(f, wire::kChecksumMismatch);
      c.writing = true;
      return Reply(f, wire::kOk, {}, Next::kStartWriting);
    }
  }
}

}  // namespace

Outcome HandleRequest(SimDevice& d, ConnectionState& c, const wire::Frame& f, SimTime now) {
  // A login ends when the device restarts; its connections end with it.
  if (c.authenticated && !d.sessions.count(c.token)) c.authenticated = false;
  switch (f.header.type) {
    case Type::kChallenge: {
      const auto request = msg::DecodeChallengeRequest(f.payload);
      if (!request) return Reply(f, wire::kBadRequest);
      msg::ChallengeReply reply;
      msg::RandomBytes(reply.deviceNonce);
      c.challenge = {request->user, reply.deviceNonce};
      return Reply(f, wire::kOk, msg::Encode(reply));
    }
    case Type::kLogin:
      return Login(d, c, f, now);
    case Type::kJoin:
      return Join(d, c, f);
    default:
      break;
  }
  if (!c.authenticated) return Reply(f, wire::kNotLoggedIn);
  switch (f.header.type) {
    case Type::kLogout:
      return Reply(f, wire::kOk, {}, Next::kEndSession);
    case Type::kQueryText: {
      const auto request = msg::DecodeQueryTextRequest(f.payload);
      if (!request) return Reply(f, wire::kBadRequest);
      if (request->query != kQueryVersion) return Reply(f, wire::kUnknownQuery);
      return Reply(f, wire::kOk, wire::AsBytes(d.VersionText()));
    }
    case Type::kGetParameter: {
      const auto request = msg::DecodeParameterRequest(f.payload);
      if (!request || !request->data.empty()) return Reply(f, wire::kBadRequest);
      const auto* block = d.Block(request->block);
      if (!block) return Reply(f, wire::kUnknownBlock);
      return Reply(f, wire::kOk, *block);
    }
    case Type::kSetParameter: {
      const auto request = msg::DecodeParameterRequest(f.payload);
      if (!request) return Reply(f, wire::kBadRequest);
      return Reply(f, d.WriteBlock(request->block, request->data));
    }
    case Type::kGetUserTable: {
      if (!f.payload.empty()) return Reply(f, wire::kBadRequest);
      return Reply(f, wire::kOk, d.UserTable());
    }
    case Type::kModifyUser:
      return ModifyUser(d, c, f);
    case Type::kReboot:
      return Reply(f, wire::kOk, {}, Next::kGoDown);
    case Type::kFactoryReset: {
      if (!msg::DecodeFactoryResetRequest(f.payload)) return Reply(f, wire::kBadRequest);
      d.FactoryReset();
      return Reply(f, wire::kOk, {}, Next::kGoDown);
    }
    case Type::kExportConfig:
      if (d.profile().refuseExport) return Reply(f, wire::kRefused);
      return Reply(f, wire::kOk, wire::AsBytes(d.ExportConfig()));
    case Type::kImportConfig:
      return Reply(f, d.ImportConfig(f.payload));
    case Type::kUpgradeBegin:
    case Type::kUpgradeData:
    case Type::kUpgradeCommit:
      return Upgrade(d, c, f);
    case Type::kStreamOpen: {
      const auto request = msg::DecodeStreamOpenRequest(f.payload);
      const auto format = request ? StreamFormatFor(request->stream, d.profile()) : std::nullopt;
      if (!format || c.stream != 0) return Reply(f, wire::kBadRequest);
      if (d.profile().kind != 0) return Reply(f, wire::kUnsupported);  // kind 1 has no live view
      if (d.profile().refuseStream) return Reply(f, wire::kRefused);
      c.stream = request->stream;
      return Reply(f, wire::kOk, msg::Encode(*format), Next::kStartStream);
    }
    default:
      return Reply(f, wire::kUnsupported);
  }
}

}  // namespace devsim
