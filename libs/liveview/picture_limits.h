#pragma once
// How large a picture a stream may make the view decode: no larger than its
// StreamOpen announced, and never larger than the largest frame an H.264
// decoder of the highest level (6.2) must handle. A device that announces one
// size and sends another would otherwise choose how much memory and time
// every picture costs.

#include <cstdint>

#include "libs/devicelink/stream_messages.h"

namespace liveview {

// Level 6.2: MaxFS 139,264 macroblocks, and neither side longer than
// sqrt(8 * MaxFS) = 1055 macroblocks; its picture store (MaxDpbMbs) 696,320
// macroblocks together.
inline constexpr int64_t kLevelMaxFrameMacroblocks = 139'264;
inline constexpr int kLevelMaxSideMacroblocks = 1055;
inline constexpr int64_t kLevelMaxStoreMacroblocks = 696'320;
// What the pictures a decoder holds besides the one under decode may take:
// the level's picture store in 8-bit 4:2:0, 384 bytes a macroblock. Deeper
// samples and fuller chroma take more of it a picture.
inline constexpr int64_t kPictureStoreBytes = kLevelMaxStoreMacroblocks * 384;

struct PictureSize {
  int codedWidth = 0;   // whole macroblocks, as the decoder works on them
  int codedHeight = 0;
  int width = 0;        // after the sequence's cropping: what would be shown
  int height = 0;
};

class PictureLimits {
 public:
  explicit PictureLimits(const devicelink::msg::StreamFormat& announced);
  // The shown size within the announced one, the coded size within the
  // announced one rounded up to whole macroblocks (pairs of them in height,
  // for field coding), and the coded size within the level.
  bool Allows(const PictureSize& size) const;
  // Bytes of one picture of `macroblocks` as libavcodec holds it: a
  // monochrome one as 4:2:0, samples deeper than 8 bits in two bytes.
  static int64_t PictureBytes(int64_t macroblocks, int chromaFormatIdc, int bitDepth);
  // Whether a decoder may hold `pictures` of `pictureBytes` each besides the
  // one under decode (references, pictures waiting to be shown, pictures
  // made up for gaps).
  static bool AllowsPictureStore(int64_t pictures, int64_t pictureBytes);
  // The decoder's own ceiling on pixels per picture (libavcodec's
  // max_pixels, which it tests against the shown width rounded up to its
  // line alignment times the shown height).
  int64_t MaxPixels() const;

 private:
  int maxWidth_;
  int maxHeight_;
  int maxCodedWidth_;
  int maxCodedHeight_;
};

}  // namespace liveview
