#pragma once
// The live-view messages: a logged-in connection asks for one of the
// device's video streams and then receives its frames until it closes.
// Shared by the live-view library and the device simulator.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace devicelink::msg {

inline constexpr uint32_t kMainStream = 1;
inline constexpr uint32_t kSubStream = 2;
inline constexpr uint16_t kCodecH264 = 1;  // H.264, Annex B byte stream, one access unit per frame

struct StreamOpenRequest {
  uint32_t stream = 0;  // kMainStream or kSubStream
};
std::vector<uint8_t> Encode(const StreamOpenRequest& m);
std::optional<StreamOpenRequest> DecodeStreamOpenRequest(std::span<const uint8_t> p);

struct StreamFormat {
  uint16_t codec = kCodecH264;
  uint16_t width = 0;
  uint16_t height = 0;
  uint16_t framesPerSecond = 0;
};
std::vector<uint8_t> Encode(const StreamFormat& m);
// Refuses an unknown codec, a zero size or frame rate.
std::optional<StreamFormat> DecodeStreamFormat(std::span<const uint8_t> p);

inline constexpr uint32_t kKeyFrame = 1;
inline constexpr std::size_t kStreamFrameHeader = 16;
struct StreamFrame {
  uint32_t number = 0;       // 0, 1, 2, ... since the stream opened; a gap is a frame lost
  uint32_t flags = 0;        // kKeyFrame
  uint64_t captureTimeUs = 0;  // the device's wall clock when the picture was taken, microseconds since 1970
  std::vector<uint8_t> data;   // the coded picture; never empty
};
std::vector<uint8_t> Encode(const StreamFrame& m);
std::optional<StreamFrame> DecodeStreamFrame(std::span<const uint8_t> p);

}  // namespace devicelink::msg
