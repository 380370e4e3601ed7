#include "libs/liveview/h264_sei.h"

#include "libs/liveview/h264_nal_units.h"

namespace liveview::h264 {
namespace {

constexpr uint32_t kRecoveryPointPayload = 6;
// Larger numbers than this in a message's type or size say nothing a frame could hold.
constexpr uint32_t kMaxSeiNumber = 1u << 24;

// payloadType and payloadSize: 0xFF bytes adding 255 each, then a last byte.
bool ReadSeiNumber(RbspReader& r, uint32_t& value) {
  value = 0;
  for (uint32_t byte = r.U(8); !r.failed(); byte = r.U(8)) {
    value += byte;
    if (value > kMaxSeiNumber) return false;
    if (byte != 0xFF) return true;
  }
  return false;
}

class Bits {
 public:
  void Put(uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
      if (used_ == 0) bytes_.push_back(0);
      if ((value >> i) & 1) bytes_.back() |= static_cast<uint8_t>(0x80 >> used_);
      used_ = (used_ + 1) % 8;
    }
  }
  void PutUe(uint32_t value) {
    const uint64_t v = uint64_t{value} + 1;
    int length = 0;
    while ((v >> length) > 1) ++length;
    Put(0, length);
    Put(static_cast<uint32_t>(v), length + 1);
  }
  // Within a byte: a one, then zeros to its end.
  void AlignWithOne() {
    if (used_ == 0) return;
    Put(1, 1);
    while (used_ != 0) Put(0, 1);
  }
  std::vector<uint8_t>& bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  int used_ = 0;
};

}  // namespace

std::optional<RecoveryPoint> ReadRecoveryPoint(std::span<const uint8_t> rbsp) {
  RbspReader r(rbsp);
  std::optional<RecoveryPoint> found;
  do {
    uint32_t type = 0;
    uint32_t size = 0;
    if (!ReadSeiNumber(r, type) || !ReadSeiNumber(r, size)) return std::nullopt;
    // Every message starts on a byte.
    const std::size_t start = r.bitPosition() / 8;
    if (start + size > rbsp.size()) return std::nullopt;
    if (type == kRecoveryPointPayload && !found) {
      RbspReader payload(rbsp.subspan(start, size));
      RecoveryPoint point;
      point.recoveryFrameCnt = payload.Ue();
      point.exactMatch = payload.Flag();
      point.brokenLink = payload.Flag();
      point.changingSliceGroupIdc = payload.U(2);
      // recovery_frame_cnt counts frames: less than the largest MaxFrameNum.
      if (payload.failed() || point.recoveryFrameCnt >= (1u << 16)) return std::nullopt;
      found = point;
    }
    for (uint32_t i = 0; i < size; ++i) r.U(8);
    if (r.failed()) return std::nullopt;
  } while (r.MoreData());
  if (!r.AtTrailingBits()) return std::nullopt;
  return found;
}

std::vector<uint8_t> WriteRecoveryPointSei(const RecoveryPoint& point) {
  Bits payload;
  payload.PutUe(point.recoveryFrameCnt);
  payload.Put(point.exactMatch, 1);
  payload.Put(point.brokenLink, 1);
  payload.Put(point.changingSliceGroupIdc, 2);
  payload.AlignWithOne();
  std::vector<uint8_t> rbsp{static_cast<uint8_t>(kRecoveryPointPayload),
                            static_cast<uint8_t>(payload.bytes().size())};
  rbsp.insert(rbsp.end(), payload.bytes().begin(), payload.bytes().end());
  rbsp.push_back(0x80);  // rbsp_trailing_bits
  std::vector<uint8_t> unit{kNalSei};  // nal_ref_idc 0
  int zeros = 0;
  for (const uint8_t b : rbsp) {
    if (zeros >= 2 && b <= 3) {
      unit.push_back(3);
      zeros = 0;
    }
    unit.push_back(b);
    zeros = b == 0 ? zeros + 1 : 0;
  }
  return unit;
}

}  // namespace liveview::h264
