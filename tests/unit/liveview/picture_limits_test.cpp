// How large a picture a stream may make the view decode.
#include "libs/liveview/picture_limits.h"

#include <gtest/gtest.h>

namespace {

using liveview::PictureLimits;
using liveview::PictureSize;

devicelink::msg::StreamFormat Announced(int width, int height) {
  return {devicelink::msg::kCodecH264, static_cast<uint16_t>(width), static_cast<uint16_t>(height), 25};
}

TEST(PictureLimits, AllowsWhatWasAnnouncedAndNothingLarger) {
  struct Case {
    const char* what;
    int announcedWidth, announcedHeight;
    PictureSize picture;
    bool allowed;
  } cases[] = {
      {"as announced", 1280, 720, {1280, 720, 1280, 720}, true},
      {"smaller", 1280, 720, {640, 368, 640, 360}, true},
      {"1080 lines from 1088 coded", 1920, 1080, {1920, 1088, 1920, 1080}, true},
      {"field-coded 720 lines from 736", 1280, 720, {1280, 736, 1280, 720}, true},
      {"one macroblock wider", 1280, 720, {1296, 720, 1296, 720}, false},
      {"two pixels taller", 1280, 720, {1280, 736, 1280, 722}, false},
      {"larger everywhere", 1280, 720, {15360, 15360, 15360, 15360}, false},
      {"huge coded, cropped to the announced size", 1280, 720, {15360, 15360, 1280, 720}, false},
      {"3840 x 2160", 3840, 2160, {3840, 2160, 3840, 2160}, true},
      {"the level's largest frame", 8192, 4320, {8192, 4320, 8192, 4320}, true},
      {"announced beyond the level, sent within it", 65535, 65535, {8192, 4352, 8192, 4352}, true},
      {"announced beyond the level, sent beyond it", 65535, 65535, {8192, 8192, 8192, 8192}, false},
      {"the level's longest side", 65535, 65535, {16880, 128, 16880, 128}, true},
      {"a macroblock beyond the level's longest side", 65535, 65535, {16896, 128, 16896, 128}, false},
      {"nothing shown", 1280, 720, {0, 0, 0, 0}, false},
      {"shown larger than coded", 1280, 720, {640, 368, 656, 368}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(PictureLimits(Announced(c.announcedWidth, c.announcedHeight)).Allows(c.picture), c.allowed);
  }
}

TEST(PictureLimits, ThePicturesHeldStayWithinTheLevelsStoreInBytes) {
  using liveview::PictureLimits;
  const int64_t level = 512 * 272;  // 8192 x 4352
  struct Case {
    const char* what;
    int64_t pictures, macroblocks;
    int chroma, depth;
    bool allowed;
  } cases[] = {
      {"the largest frame, 5 of them", 5, level, 1, 8, true},
      {"the largest frame, 6 of them", 6, level, 1, 8, false},
      {"1080p, 16 of them", 16, 120 * 68, 1, 8, true},
      {"1080p in 10 bits, 16 of them", 16, 120 * 68, 1, 10, true},
      {"monochrome, held as 4:2:0", 5, level, 0, 8, true},
      {"the largest frame in 4:2:2, 3 of them", 3, level, 2, 8, true},
      {"the largest frame in 4:2:2, 4 of them", 4, level, 2, 8, false},
      {"the largest frame in 4:4:4 at 14 bits, 1 of them", 1, level, 3, 14, true},
      {"the largest frame in 4:4:4 at 14 bits, 2 of them", 2, level, 3, 14, false},
      {"none", 0, level, 3, 14, true},
      {"a count below none", -1, 1, 1, 8, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(PictureLimits::AllowsPictureStore(c.pictures, PictureLimits::PictureBytes(c.macroblocks, c.chroma, c.depth)),
              c.allowed);
  }
  EXPECT_EQ(PictureLimits::PictureBytes(level, 1, 8) * 5, liveview::kPictureStoreBytes);
}

TEST(PictureLimits, TheDecodersCeilingHoldsEveryAllowedPictureAsLibavcodecCountsIt) {
  // libavcodec tests the shown width rounded up to 64 pixels times the shown height.
  for (const auto& [w, h] : {std::pair{1280, 720}, {1920, 1080}, {640, 360}, {3840, 2160}, {1000, 562}}) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    const PictureLimits limits(Announced(w, h));
    EXPECT_GE(limits.MaxPixels(), static_cast<int64_t>((w + 63) / 64 * 64) * h);
    EXPECT_LT(limits.MaxPixels(), static_cast<int64_t>(w) * h * 5 / 4);
  }
  EXPECT_LT(PictureLimits(Announced(65535, 65535)).MaxPixels(), int64_t{40'000'000});
}

}  // namespace
