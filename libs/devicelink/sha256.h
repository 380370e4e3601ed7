#pragma once
// SHA-256 and HMAC-SHA-256, used for the login challenge and for masking a
// new password on the wire. Small and self-contained so that the library
// needs nothing beyond the C++ standard library and POSIX sockets.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace devicelink {

using Digest = std::array<uint8_t, 32>;

class Sha256 {
 public:
  Sha256();
  void Update(std::span<const uint8_t> data);
  void Update(std::string_view text);
  Digest Finish();

 private:
  void Block(const uint8_t* p);
  std::array<uint32_t, 8> h_;
  std::array<uint8_t, 64> buffer_{};
  std::size_t buffered_ = 0;
  uint64_t length_ = 0;
};

Digest Sha256Of(std::span<const uint8_t> data);
Digest Sha256Of(std::string_view text);

// HMAC-SHA-256 over the concatenation of the parts.
Digest HmacSha256(std::span<const uint8_t> key, std::initializer_list<std::span<const uint8_t>> parts);

}  // namespace devicelink
