#include "libs/liveview/h264_nal_units.h"

#include <algorithm>

namespace liveview::h264 {
namespace {

// A unit's bytes hold none of 00 00 00, 00 00 01 and 00 00 02, and an
// emulation prevention byte (00 00 03) is followed by 00..03 or ends the
// unit. Its last byte is no zero.
bool WellFormed(std::span<const uint8_t> unit) {
  if (unit.empty() || unit.back() == 0) return false;
  for (std::size_t i = 0; i + 2 < unit.size(); ++i) {
    if (unit[i] != 0 || unit[i + 1] != 0) continue;
    if (unit[i + 2] < 3) return false;
    if (unit[i + 2] == 3 && i + 3 < unit.size() && unit[i + 3] > 3) return false;
  }
  return true;
}

}  // namespace

std::optional<std::vector<NalUnit>> SplitAnnexB(std::span<const uint8_t> frame, std::size_t maxUnits) {
  // Where each start code prefix (00 00 01) begins.
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i + 2 < frame.size(); ++i) {
    if (frame[i] == 0 && frame[i + 1] == 0 && frame[i + 2] == 1) {
      if (starts.size() == maxUnits) return std::nullopt;
      starts.push_back(i);
      i += 2;
    }
  }
  if (starts.empty()) return std::nullopt;
  // Nothing but leading zero bytes before the first start code.
  if (std::any_of(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(starts.front()),
                  [](uint8_t b) { return b != 0; }))
    return std::nullopt;
  std::vector<NalUnit> units;
  units.reserve(starts.size());
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const std::size_t begin = starts[k] + 3;
    std::size_t end = k + 1 < starts.size() ? starts[k + 1] : frame.size();
    // Zero bytes before the next start code (or the frame's end) belong to the byte stream.
    while (end > begin && frame[end - 1] == 0) --end;
    const auto bytes = frame.subspan(begin, end - begin);
    if (!WellFormed(bytes)) return std::nullopt;
    units.push_back({bytes, (bytes[0] & 0x80) != 0, static_cast<uint8_t>((bytes[0] >> 5) & 3),
                     static_cast<uint8_t>(bytes[0] & 0x1F)});
  }
  return units;
}

std::vector<uint8_t> Rbsp(const NalUnit& unit, std::size_t maxBytes) {
  std::vector<uint8_t> out;
  out.reserve(std::min(unit.bytes.size(), maxBytes));
  int zeros = 0;
  for (std::size_t i = 1; i < unit.bytes.size() && out.size() < maxBytes; ++i) {
    const uint8_t b = unit.bytes[i];
    if (zeros >= 2 && b == 3) {
      zeros = 0;
      continue;
    }
    out.push_back(b);
    zeros = b == 0 ? zeros + 1 : 0;
  }
  return out;
}

RbspReader::RbspReader(std::span<const uint8_t> rbsp) : bytes_(rbsp) {}

uint32_t RbspReader::U(int bits) {
  if (failed_ || bits < 0 || bits > 32 || bit_ + static_cast<std::size_t>(bits) > bytes_.size() * 8) {
    failed_ = true;
    return 0;
  }
  uint32_t value = 0;
  for (int i = 0; i < bits; ++i, ++bit_) value = (value << 1) | ((bytes_[bit_ / 8] >> (7 - bit_ % 8)) & 1u);
  return value;
}

uint32_t RbspReader::Ue() {
  int zeros = 0;
  while (!failed_ && U(1) == 0) {
    if (++zeros > 31) failed_ = true;
  }
  if (failed_) return 0;
  const uint64_t value = ((uint64_t{1} << zeros) | U(zeros)) - 1;
  if (failed_ || value > 0xFFFFFFFEu) {
    failed_ = true;
    return 0;
  }
  return static_cast<uint32_t>(value);
}

int32_t RbspReader::Se() {
  const uint32_t k = Ue();
  // 1, -1, 2, -2, ...: k up to 2^32 - 2 gives -(2^31 - 1).
  return (k & 1) ? static_cast<int32_t>((k >> 1) + 1) : -static_cast<int32_t>(k >> 1);
}

bool RbspReader::MoreData() const {
  if (failed_) return false;
  // The last one bit of the payload is the stop bit; anything before it is data.
  std::size_t last = bytes_.size();
  while (last > 0 && bytes_[last - 1] == 0) --last;
  if (last == 0) return false;
  const uint8_t byte = bytes_[last - 1];
  int lowest = 0;
  while (((byte >> lowest) & 1) == 0) ++lowest;
  const std::size_t stopBit = (last - 1) * 8 + static_cast<std::size_t>(7 - lowest);
  return bit_ < stopBit;
}

bool RbspReader::AtTrailingBits() const {
  if (failed_ || bit_ >= bytes_.size() * 8) return false;
  // The stop bit here, zeros after it, and it stands in the last byte.
  if (((bytes_[bit_ / 8] >> (7 - bit_ % 8)) & 1) == 0) return false;
  if (bit_ / 8 != bytes_.size() - 1) return false;
  const int rest = 7 - static_cast<int>(bit_ % 8);
  return (bytes_.back() & ((1u << rest) - 1)) == 0;
}

}  // namespace liveview::h264
