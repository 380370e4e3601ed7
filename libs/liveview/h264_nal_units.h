#pragma once
// The NAL units of one H.264 frame in the Annex B byte stream, and a reader
// of the bits of one unit's payload (its RBSP). Both are strict: a byte
// stream that breaks the standard's rules (a byte sequence a NAL unit may not
// hold, an emulation prevention byte in the wrong place, garbage before the
// first start code) is not split at all, and a read past a payload's end
// fails. The decoder gets only units read this way, so it and the reader can
// never cut a frame differently.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace liveview::h264 {

enum NalType : uint8_t {
  kNalSlice = 1,
  kNalIdrSlice = 5,
  kNalSei = 6,
  kNalSequenceParameters = 7,
  kNalPictureParameters = 8,
};

struct NalUnit {
  std::span<const uint8_t> bytes;  // the header byte and the payload as sent (emulation prevention kept)
  bool forbiddenBit = false;
  uint8_t refIdc = 0;
  uint8_t type = 0;
};

// The frame's NAL units in order; nullopt when the byte stream breaks a rule
// or holds more than `maxUnits` of them.
std::optional<std::vector<NalUnit>> SplitAnnexB(std::span<const uint8_t> frame, std::size_t maxUnits);
// The units point into the frame: it must outlive them.
std::optional<std::vector<NalUnit>> SplitAnnexB(std::vector<uint8_t>&& frame, std::size_t maxUnits) = delete;

// A unit's payload without its header byte and emulation prevention bytes,
// at most `maxBytes` of it.
std::vector<uint8_t> Rbsp(const NalUnit& unit, std::size_t maxBytes = SIZE_MAX);

// Reads the bits of an RBSP. A read beyond its end fails, and so does every
// read after it (failed() tells); Exp-Golomb codes beyond 32 bits fail too.
class RbspReader {
 public:
  explicit RbspReader(std::span<const uint8_t> rbsp);
  explicit RbspReader(std::vector<uint8_t>&& rbsp) = delete;  // reads where the bytes lie
  uint32_t U(int bits);  // u(n), n <= 32
  bool Flag() { return U(1) != 0; }
  uint32_t Ue();         // ue(v), 0 .. 2^32 - 2
  int32_t Se();          // se(v), -(2^31 - 1) .. 2^31 - 1
  bool failed() const { return failed_; }
  std::size_t bitPosition() const { return bit_; }
  // Whether anything but the trailing bits follows (more_rbsp_data()).
  bool MoreData() const;
  // Whether exactly rbsp_trailing_bits() follow: a one, then zeros to the
  // end of the last byte, and nothing after it.
  bool AtTrailingBits() const;

 private:
  std::span<const uint8_t> bytes_;
  std::size_t bit_ = 0;
  bool failed_ = false;
};

}  // namespace liveview::h264
