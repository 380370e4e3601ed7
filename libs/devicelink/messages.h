#pragma once
// Payloads of the device-link messages, encoded and decoded in one place so
// that the library and the device simulator cannot drift apart. Every
// Decode* returns nullopt for a payload of the wrong shape.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "libs/devicelink/sha256.h"
#include "libs/devicelink/wire_format.h"

namespace devicelink::msg {

using Nonce = std::array<uint8_t, wire::kNonceSize>;
using Token = std::array<uint8_t, wire::kTokenSize>;

struct DiscoverQuery {
  uint32_t searchId = 0;
  uint32_t mode = 0;
};
std::vector<uint8_t> Encode(const DiscoverQuery& m);
std::optional<DiscoverQuery> DecodeDiscoverQuery(std::span<const uint8_t> p);

struct DiscoverReply {
  uint32_t searchId = 0;
  std::vector<uint8_t> record;  // 436 bytes
};
std::vector<uint8_t> Encode(const DiscoverReply& m);
std::optional<DiscoverReply> DecodeDiscoverReply(std::span<const uint8_t> p);

struct ChallengeRequest {
  std::string user;
};
std::vector<uint8_t> Encode(const ChallengeRequest& m);
std::optional<ChallengeRequest> DecodeChallengeRequest(std::span<const uint8_t> p);

struct ChallengeReply {
  Nonce deviceNonce{};
};
std::vector<uint8_t> Encode(const ChallengeReply& m);
std::optional<ChallengeReply> DecodeChallengeReply(std::span<const uint8_t> p);

struct LoginRequest {
  std::string user;
  Nonce clientNonce{};
  Digest proof{};
};
std::vector<uint8_t> Encode(const LoginRequest& m);
std::optional<LoginRequest> DecodeLoginRequest(std::span<const uint8_t> p);

inline constexpr std::size_t kDeviceInfoSize = 48;
struct LoginReply {
  Token token{};
  std::array<uint8_t, kDeviceInfoSize> deviceInfo{};
};
std::vector<uint8_t> Encode(const LoginReply& m);
std::optional<LoginReply> DecodeLoginReply(std::span<const uint8_t> p);

struct JoinRequest {
  Token token{};
  Nonce clientNonce{};
  Digest proof{};
};
std::vector<uint8_t> Encode(const JoinRequest& m);
std::optional<JoinRequest> DecodeJoinRequest(std::span<const uint8_t> p);

struct QueryTextRequest {
  uint32_t query = 0;
};
std::vector<uint8_t> Encode(const QueryTextRequest& m);
std::optional<QueryTextRequest> DecodeQueryTextRequest(std::span<const uint8_t> p);

struct ParameterRequest {  // get: data empty; set: the block
  uint32_t block = 0;
  int32_t channel = -1;
  std::vector<uint8_t> data;
};
std::vector<uint8_t> Encode(const ParameterRequest& m);
std::optional<ParameterRequest> DecodeParameterRequest(std::span<const uint8_t> p);

inline constexpr std::size_t kUserEntrySize = 3344;
inline constexpr std::size_t kUserNameOffset = 8;
inline constexpr std::size_t kUserPasswordOffset = 104;
inline constexpr std::size_t kUserPasswordField = 96;
using PasswordField = std::array<uint8_t, kUserPasswordField>;
struct ModifyUserRequest {
  uint32_t operation = 0;
  std::vector<uint8_t> newEntry;  // kUserEntrySize, password field zeroed
  std::vector<uint8_t> oldEntry;  // kUserEntrySize, password field zeroed
  Digest oldProof{};              // proves the old password
  PasswordField newPassword{};    // the new password, encrypted with the session key
};
std::vector<uint8_t> Encode(const ModifyUserRequest& m);
std::optional<ModifyUserRequest> DecodeModifyUserRequest(std::span<const uint8_t> p);

struct FactoryResetRequest {
  uint32_t flags = 0;
};
std::vector<uint8_t> Encode(const FactoryResetRequest& m);
std::optional<FactoryResetRequest> DecodeFactoryResetRequest(std::span<const uint8_t> p);

struct UpgradeBeginRequest {
  uint64_t size = 0;
  Digest sha256{};
};
std::vector<uint8_t> Encode(const UpgradeBeginRequest& m);
std::optional<UpgradeBeginRequest> DecodeUpgradeBeginRequest(std::span<const uint8_t> p);

struct UpgradeDataRequest {
  uint64_t offset = 0;
  std::vector<uint8_t> data;
};
std::vector<uint8_t> Encode(const UpgradeDataRequest& m);
std::optional<UpgradeDataRequest> DecodeUpgradeDataRequest(std::span<const uint8_t> p);

struct UpgradeProgress {
  uint32_t percent = 0;  // 0..100
};
std::vector<uint8_t> Encode(const UpgradeProgress& m);
std::optional<UpgradeProgress> DecodeUpgradeProgress(std::span<const uint8_t> p);

// Authentication: no password crosses the wire, only proofs keyed by
// PasswordKey, which the device may store instead of the password.
Digest PasswordKey(std::string_view user, std::string_view password);
Digest LoginProof(const Digest& key, const Nonce& deviceNonce, const Nonce& clientNonce, std::string_view user);
Digest SessionKey(const Digest& key, const Nonce& deviceNonce, const Nonce& clientNonce);
Digest JoinProof(const Digest& sessionKey, const Token& token, const Nonce& clientNonce);
Digest ModifyOldProof(const Digest& oldKey, const Token& token, uint32_t sequence);
// Encrypts (and, applied again, decrypts) a NUL-padded password field with a
// key stream from the session key, this login's token and the request's sequence.
PasswordField MaskPassword(const PasswordField& field, const Digest& sessionKey, const Token& token,
                           uint32_t sequence);
// The NUL-padded field of a password (cut to 95 bytes) and back.
PasswordField PasswordFieldOf(std::string_view password);
std::string PasswordOf(const PasswordField& field);
// Constant-time comparison of two digests.
bool Equal(const Digest& a, const Digest& b);

// Random bytes from the system's source.
void RandomBytes(std::span<uint8_t> out);

}  // namespace devicelink::msg
