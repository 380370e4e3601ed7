#include "libs/liveview/picture_limits.h"

#include <algorithm>

namespace liveview {
namespace {
constexpr int RoundUp(int value, int step) { return (value + step - 1) / step * step; }
constexpr int kLevelMaxSide = kLevelMaxSideMacroblocks * 16;
// libavcodec rounds a picture's line up to this many pixels before it tests max_pixels.
constexpr int kDecoderLineAlignment = 64;
int64_t Macroblocks(const PictureSize& s) {
  return static_cast<int64_t>(RoundUp(s.codedWidth, 16) / 16) * (RoundUp(s.codedHeight, 16) / 16);
}
}  // namespace

PictureLimits::PictureLimits(const devicelink::msg::StreamFormat& announced)
    : maxWidth_(std::min<int>(announced.width, kLevelMaxSide)),
      maxHeight_(std::min<int>(announced.height, kLevelMaxSide)),
      maxCodedWidth_(std::min(RoundUp(announced.width, 16), kLevelMaxSide)),
      maxCodedHeight_(std::min(RoundUp(announced.height, 32), kLevelMaxSide)) {}

bool PictureLimits::Allows(const PictureSize& s) const {
  if (s.width <= 0 || s.height <= 0 || s.codedWidth < s.width || s.codedHeight < s.height) return false;
  if (s.width > maxWidth_ || s.height > maxHeight_) return false;
  if (s.codedWidth > maxCodedWidth_ || s.codedHeight > maxCodedHeight_) return false;
  return Macroblocks(s) <= kLevelMaxFrameMacroblocks;
}

int64_t PictureLimits::PictureBytes(int64_t macroblocks, int chromaFormatIdc, int bitDepth) {
  // Chroma samples a macroblock, both planes: 4:2:0 (and monochrome) 128, 4:2:2 256, 4:4:4 512.
  const int64_t chroma = chromaFormatIdc == 3 ? 512 : chromaFormatIdc == 2 ? 256 : 128;
  return macroblocks * (256 + chroma) * (bitDepth > 8 ? 2 : 1);
}

bool PictureLimits::AllowsPictureStore(int64_t pictures, int64_t pictureBytes) {
  if (pictures < 0 || pictureBytes < 0) return false;
  return pictures <= kPictureStoreBytes / std::max<int64_t>(pictureBytes, 1);
}

int64_t PictureLimits::MaxPixels() const {
  const int64_t level = kLevelMaxFrameMacroblocks * 256;
  const int64_t announced = static_cast<int64_t>(maxCodedWidth_) * maxCodedHeight_;
  // The alignment may add up to one aligned block of columns on every line.
  return std::min(announced, level) + static_cast<int64_t>(kDecoderLineAlignment) * maxCodedHeight_;
}

}  // namespace liveview
