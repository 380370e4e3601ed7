#pragma once
// Of all a device may say in SEI messages, the decoder needs only the
// recovery point: where a stream joined between its intra pictures (intra
// refresh) becomes whole. Every other message would only be kept or
// attached to the pictures (user data, captions, film grain to apply), so
// an SEI unit is read whole and handed on as a unit of the program's own
// that holds just its recovery point, or not at all.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace liveview::h264 {

struct RecoveryPoint {
  uint32_t recoveryFrameCnt = 0;
  bool exactMatch = false;
  bool brokenLink = false;
  uint32_t changingSliceGroupIdc = 0;
};

// The unit's recovery point; nullopt when it holds none or does not read whole.
std::optional<RecoveryPoint> ReadRecoveryPoint(std::span<const uint8_t> rbsp);
// An SEI NAL unit (header byte first, emulation prevention applied) holding only it.
std::vector<uint8_t> WriteRecoveryPointSei(const RecoveryPoint& point);

}  // namespace liveview::h264
