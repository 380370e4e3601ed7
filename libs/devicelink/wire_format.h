#pragma once
// The device-link protocol's frames, shared by the library and the device
// simulator. docs/device-link.md describes every field. All numbers are
// little-endian; texts are fixed-width, NUL-padded byte fields.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace devicelink::wire {

inline constexpr std::array<uint8_t, 4> kMagic = {'D', 'V', 'L', 'K'};
inline constexpr uint8_t kVersion = 1;
inline constexpr std::size_t kHeaderSize = 20;
// Large enough for the user table (783,856 bytes) and a whole exported
// configuration; firmware travels in chunks well below it.
inline constexpr uint32_t kMaxPayload = 2 * 1024 * 1024;
inline constexpr std::size_t kFirmwareChunk = 64 * 1024;
inline constexpr std::size_t kMaxConfigFile = 1024 * 1024;
inline constexpr uint64_t kMaxFirmwareFile = 1024ull * 1024 * 1024;

inline constexpr uint16_t kDiscoveryPort = 9610;

inline constexpr std::size_t kUserField = 64;
inline constexpr std::size_t kNonceSize = 16;
inline constexpr std::size_t kTokenSize = 16;
inline constexpr std::size_t kDigestSize = 32;

enum class Type : uint8_t {
  kDiscoverQuery = 0x01,
  kDiscoverReply = 0x02,
  kChallenge = 0x10,
  kLogin = 0x11,
  kJoin = 0x12,
  kLogout = 0x13,
  kQueryText = 0x20,
  kGetParameter = 0x21,
  kSetParameter = 0x22,
  kGetUserTable = 0x23,
  kModifyUser = 0x24,
  kReboot = 0x30,
  kFactoryReset = 0x31,
  kExportConfig = 0x40,
  kImportConfig = 0x41,
  kUpgradeBegin = 0x50,
  kUpgradeData = 0x51,
  kUpgradeCommit = 0x52,
  kUpgradeProgress = 0x53,
  kUpgradeDone = 0x54,
  kStreamOpen = 0x60,
  kStreamFrame = 0x61,
};

// Reply status. 1..11 are the login codes the program shows (the same
// numbers the library returns from a refused login); the rest are general.
enum Status : int32_t {
  kOk = 0,
  kWrongPassword = 1,
  kUnknownUser = 2,
  kLoginTimeout = 3,
  kAlreadyLoggedIn = 4,
  kUserLocked = 5,
  kUserBlacklisted = 6,
  kDeviceBusy = 7,
  kCannotReachHost = 9,
  kOtherError = 11,
  kBadRequest = 0x100,
  kNotLoggedIn = 0x101,
  kUnknownBlock = 0x102,
  kRefused = 0x103,
  kBadSize = 0x104,
  kUnknownQuery = 0x105,
  kChecksumMismatch = 0x106,
  kUpgradeFailed = 0x107,
  kUnsupported = 0x108,
};

struct Header {
  Type type{};
  uint32_t sequence = 0;
  int32_t status = 0;
  uint32_t length = 0;
};

struct Frame {
  Header header;
  std::vector<uint8_t> payload;
};

// Serialises one frame: header then payload.
std::vector<uint8_t> Encode(Type type, uint32_t sequence, int32_t status, std::span<const uint8_t> payload);
// The header alone, for a payload of `length` bytes sent from elsewhere.
std::array<uint8_t, kHeaderSize> EncodeHeader(Type type, uint32_t sequence, int32_t status, uint32_t length);

enum class HeaderCheck { kOk, kIncomplete, kInvalid };
// Reads the first kHeaderSize bytes. Invalid: wrong magic or version, a
// nonzero reserved field, or a length above kMaxPayload. Fewer bytes are
// incomplete, or already invalid when the magic or version they hold is wrong.
HeaderCheck ParseHeader(std::span<const uint8_t> bytes, Header& out);

// A datagram is exactly one frame.
std::optional<Frame> ParseDatagram(std::span<const uint8_t> datagram);

// Cuts frames out of a byte stream. After a violation it stays broken: the
// connection must be dropped, since the stream cannot be resynchronised.
class FrameReader {
 public:
  void Feed(std::span<const uint8_t> bytes);
  // The next complete frame, if one has arrived.
  std::optional<Frame> Next();
  bool broken() const { return broken_; }
  std::size_t buffered() const { return buffer_.size() - consumed_; }

 private:
  std::vector<uint8_t> buffer_;
  std::size_t consumed_ = 0;
  bool broken_ = false;
};

// Little-endian payload building.
class Writer {
 public:
  Writer& U8(uint8_t v);
  Writer& U16(uint16_t v);
  Writer& U32(uint32_t v);
  Writer& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
  Writer& U64(uint64_t v);
  Writer& Bytes(std::span<const uint8_t> b);
  // A fixed field of `width` bytes: the text cut to width - 1, NUL-padded.
  Writer& Text(std::string_view text, std::size_t width);
  std::vector<uint8_t>& data() { return data_; }

 private:
  std::vector<uint8_t> data_;
};

// Bounds-checked payload reading: any read past the end sets failed() and
// yields zeros, so a parser checks once at the end.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> data) : data_(data) {}
  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  int32_t I32() { return static_cast<int32_t>(U32()); }
  uint64_t U64();
  std::span<const uint8_t> Bytes(std::size_t n);
  std::string Text(std::size_t width);  // up to the first NUL within width
  std::span<const uint8_t> Rest();
  std::size_t remaining() const { return failed_ ? 0 : data_.size() - pos_; }
  bool failed() const { return failed_; }
  bool ok_and_done() const { return !failed_ && pos_ == data_.size(); }

 private:
  std::span<const uint8_t> data_;
  std::size_t pos_ = 0;
  bool failed_ = false;
};

inline std::span<const uint8_t> AsBytes(std::string_view s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

}  // namespace devicelink::wire
