#include "libs/devicelink/messages.h"

#include <algorithm>
#include <cstring>
#include <random>

namespace devicelink::msg {
namespace {

using wire::Reader;
using wire::Writer;

template <std::size_t N>
void ReadArray(Reader& r, std::array<uint8_t, N>& out) {
  const auto b = r.Bytes(N);
  if (b.size() == N) std::copy(b.begin(), b.end(), out.begin());
}

// A user name field must hold a NUL: a name that fills all 64 bytes is malformed.
std::optional<std::string> ReadUser(Reader& r) {
  const auto b = r.Bytes(wire::kUserField);
  if (b.size() != wire::kUserField || std::find(b.begin(), b.end(), 0) == b.end()) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(b.data()));
}

std::span<const uint8_t> Span(const std::string_view s) { return wire::AsBytes(s); }

}  // namespace

std::vector<uint8_t> Encode(const DiscoverQuery& m) {
  Writer w;
  w.U32(m.searchId).U32(m.mode);
  return std::move(w.data());
}
std::optional<DiscoverQuery> DecodeDiscoverQuery(std::span<const uint8_t> p) {
  Reader r(p);
  DiscoverQuery m{r.U32(), r.U32()};
  if (!r.ok_and_done()) return std::nullopt;
  return m;
}

std::vector<uint8_t> Encode(const DiscoverReply& m) {
  Writer w;
  w.U32(m.searchId).Bytes(m.record);
  return std::move(w.data());
}
std::optional<DiscoverReply> DecodeDiscoverReply(std::span<const uint8_t> p) {
  Reader r(p);
  DiscoverReply m;
  m.searchId = r.U32();
  const auto rec = r.Bytes(436);
  if (!r.ok_and_done()) return std::nullopt;
  m.record.assign(rec.begin(), rec.end());
  return m;
}

std::vector<uint8_t> Encode(const ChallengeRequest& m) {
  Writer w;
  w.Text(m.user, wire::kUserField);
  return std::move(w.data());
}
std::optional<ChallengeRequest> DecodeChallengeRequest(std::span<const uint8_t> p) {
  Reader r(p);
  auto user = ReadUser(r);
  if (!user || !r.ok_and_done()) return std::nullopt;
  return ChallengeRequest{*user};
}

std::vector<uint8_t> Encode(const ChallengeReply& m) {
  Writer w;
  w.Bytes(m.deviceNonce);
  return std::move(w.data());
}
std::optional<ChallengeReply> DecodeChallengeReply(std::span<const uint8_t> p) {
  Reader r(p);
  ChallengeReply m;
  ReadArray(r, m.deviceNonce);
  if (!r.ok_and_done()) return std::nullopt;
  return m;
}

std::vector<uint8_t> Encode(const LoginRequest& m) {
  Writer w;
  w.Text(m.user, wire::kUserField).Bytes(m.clientNonce).Bytes(m.proof);
  return std::move(w.data());
}
std::optional<LoginRequest> DecodeLoginRequest(std::span<const uint8_t> p) {
  Reader r(p);
  LoginRequest m;
  auto user = ReadUser(r);
  ReadArray(r, m.clientNonce);
  ReadArray(r, m.proof);
  if (!user || !r.ok_and_done()) return std::nullopt;
  m.user = *user;
  return m;
}

std::vector<uint8_t> Encode(const LoginReply& m) {
  Writer w;
  w.Bytes(m.token).Bytes(m.deviceInfo);
  return std::move(w.data());
}
std::optional<LoginReply> DecodeLoginReply(std::span<const uint8_t> p) {
  Reader r(p);
  LoginReply m;
  ReadArray(r, m.token);
  ReadArray(r, m.deviceInfo);
  if (!r.ok_and_done()) return std::nullopt;
  return m;
}

std::vector<uint8_t> Encode(const JoinRequest& m) {
  Writer w;
  w.Bytes(m.token).Bytes(m.clientNonce).Bytes(m.proof);
  return std::move(w.data());
}
std::optional<JoinRequest> DecodeJoinRequest(std::span<const uint8_t> p) {
  Reader r(p);
  JoinRequest m;
  ReadArray(r, m.token);
  ReadArray(r, m.clientNonce);
  ReadArray(r, m.proof);
  if (!r.ok_and_done()) return std::nullopt;
  return m;
}

std::vector<uint8_t> Encode(const QueryTextRequest& m) {
  Writer w;
  w.U32(m.query);
  return std::move(w.data());
}
std::optional<QueryTextRequest> DecodeQueryTextRequest(std::span<const uint8_t> p) {
  Reader r(p);
  QueryTextRequest m{r.U32()};
  if (!r.ok_and_done()) return std::nullopt;
  return m;
}

std::vector<uint8_t> Encode(const ParameterRequest& m) {
  Writer w;
  w.U32(m.block).I32(m.channel).Bytes(m.data);
  return std::move(w.data());
}
std::optional<ParameterRequest> DecodeParameterRequest(std::span<const uint8_t> p) {
  Reader r(p);
  ParameterRequest m;
  m.block = r.U32();
  m.channel = r.I32();
  const auto rest = r.Rest();
  if (r.failed()) return std::nullopt;
  m.data.assign(rest.begin(), rest.end());
  return m;
}

std::vector<uint8_t> Encode(const ModifyUserRequest& m) {
  Writer w;
  w.U32(m.operation).Bytes(m.newEntry).Bytes(m.oldEntry).Bytes(m.oldProof).Bytes(m.newPassword);
  return std::move(w.data());
}
std::optional<ModifyUserRequest> DecodeModifyUserRequest(std::span<const uint8_t> p) {
  Reader r(p);
  ModifyUserRequest m;
  m.operation = r.U32();
  const auto newEntry = r.Bytes(kUserEntrySize);
  const auto oldEntry = r.Bytes(kUserEntrySize);
  ReadArray(r, m.oldProof);
  ReadArray(r, m.newPassword);
  if (!r.ok_and_done()) return std::nullopt;
  m.newEntry.assign(newEntry.begin(), newEntry.end());
  m.oldEntry.assign(oldEntry.begin(), oldEntry.end());
  return m;
}

std::vector<uint8_t> Encode(const FactoryResetRequest& m) {
  Writer w;
  w.U32(m.flags);
  return std::move(w.data());
}
std::optional<FactoryResetRequest> DecodeFactoryResetRequest(std::span<const uint8_t> p) {
  Reader r(p);
  FactoryResetRequest m{r.U32()};
  if (!r.ok_and_done()) return std::nullopt;
  return m;
}

std::vector<uint8_t> Encode(const UpgradeBeginRequest& m) {
  Writer w;
  w.U64(m.size).Bytes(m.sha256);
  return std::move(w.data());
}
std::optional<UpgradeBeginRequest> DecodeUpgradeBeginRequest(std::span<const uint8_t> p) {
  Reader r(p);
  UpgradeBeginRequest m;
  m.size = r.U64();
  ReadArray(r, m.sha256);
  if (!r.ok_and_done()) return std::nullopt;
  return m;
}

std::vector<uint8_t> Encode(const UpgradeDataRequest& m) {
  Writer w;
  w.U64(m.offset).Bytes(m.data);
  return std::move(w.data());
}
std::optional<UpgradeDataRequest> DecodeUpgradeDataRequest(std::span<const uint8_t> p) {
  Reader r(p);
  UpgradeDataRequest m;
  m.offset = r.U64();
  const auto rest = r.Rest();
  if (r.failed()) return std::nullopt;
  m.data.assign(rest.begin(), rest.end());
  return m;
}

std::vector<uint8_t> Encode(const UpgradeProgress& m) {
  Writer w;
  w.U32(m.percent);
  return std::move(w.data());
}
std::optional<UpgradeProgress> DecodeUpgradeProgress(std::span<const uint8_t> p) {
  Reader r(p);
  UpgradeProgress m{r.U32()};
  if (!r.ok_and_done() || m.percent > 100) return std::nullopt;
  return m;
}

Digest PasswordKey(std::string_view user, std::string_view password) {
  Sha256 s;
  s.Update("devicelink-key:");
  s.Update(user);
  s.Update(std::string_view("\0", 1));
  s.Update(password);
  return s.Finish();
}

Digest LoginProof(const Digest& key, const Nonce& deviceNonce, const Nonce& clientNonce, std::string_view user) {
  return HmacSha256(key, {Span("login"), deviceNonce, clientNonce, Span(user)});
}

Digest SessionKey(const Digest& key, const Nonce& deviceNonce, const Nonce& clientNonce) {
  return HmacSha256(key, {Span("session"), deviceNonce, clientNonce});
}

Digest JoinProof(const Digest& sessionKey, const Token& token, const Nonce& clientNonce) {
  return HmacSha256(sessionKey, {Span("join"), token, clientNonce});
}

namespace {
std::array<uint8_t, 4> Le32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}
}  // namespace

Digest ModifyOldProof(const Digest& oldKey, const Token& token, uint32_t sequence) {
  const auto seq = Le32(sequence);
  return HmacSha256(oldKey, {Span("modify-old"), token, seq});
}

PasswordField MaskPassword(const PasswordField& field, const Digest& sessionKey, const Token& token,
                           uint32_t sequence) {
  const auto seq = Le32(sequence);
  PasswordField out = field;
  for (std::size_t block = 0; block * 32 < out.size(); ++block) {
    const std::array<uint8_t, 1> counter = {static_cast<uint8_t>(block)};
    const Digest stream = HmacSha256(sessionKey, {Span("modify-new"), token, seq, counter});
    for (std::size_t i = 0; i < 32 && block * 32 + i < out.size(); ++i) out[block * 32 + i] ^= stream[i];
  }
  return out;
}

PasswordField PasswordFieldOf(std::string_view password) {
  PasswordField f{};
  std::memcpy(f.data(), password.data(), std::min(password.size(), f.size() - 1));
  return f;
}

std::string PasswordOf(const PasswordField& field) {
  const auto* text = reinterpret_cast<const char*>(field.data());
  return std::string(text, strnlen(text, field.size()));
}

bool Equal(const Digest& a, const Digest& b) {
  uint8_t diff = 0;
  for (std::size_t i = 0; i < a.size(); ++i) diff |= a[i] ^ b[i];
  return diff == 0;
}

void RandomBytes(std::span<uint8_t> out) {
  static thread_local std::random_device device;
  for (std::size_t i = 0; i < out.size(); i += 4) {
    const uint32_t v = device();
    for (std::size_t k = 0; k < 4 && i + k < out.size(); ++k) out[i + k] = static_cast<uint8_t>(v >> (8 * k));
  }
}

}  // namespace devicelink::msg
