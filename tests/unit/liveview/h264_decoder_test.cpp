// The decoder against pictures of every size, written by the simulator's
// flat-picture writer: what the stream announced bounds what is decoded.
#include "libs/liveview/h264_decoder.h"

#include <gtest/gtest.h>

#include "tests/support/peak_memory.h"
#include "tools/devsim/flat_h264.h"

namespace {

using liveview::DecodedPicture;

std::unique_ptr<liveview::H264Decoder> DecoderFor(int width, int height) {
  return liveview::H264Decoder::Create(liveview::PictureLimits(
      {devicelink::msg::kCodecH264, static_cast<uint16_t>(width), static_cast<uint16_t>(height), 25}));
}

TEST(H264Decoder, APictureLargerThanAnnouncedIsRefusedAndTheStreamGoesOn) {
  struct Case {
    const char* what;
    int width, height;
    DecodedPicture::Outcome outcome;
  } cases[] = {
      {"as announced", 1280, 720, DecodedPicture::kPicture},
      {"wider", 1296, 720, DecodedPicture::kRefused},
      {"taller", 1280, 722, DecodedPicture::kRefused},
      {"beyond the level", 15360, 15360, DecodedPicture::kRefused},
      {"smaller", 320, 180, DecodedPicture::kPicture},
      {"as announced again", 1280, 720, DecodedPicture::kPicture},
  };
  auto decoder = DecoderFor(1280, 720);
  ASSERT_TRUE(decoder);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto key = decoder->Decode(devsim::FlatKeyFrame(c.width, c.height), 64, 36);
    EXPECT_EQ(key.outcome, c.outcome);
    EXPECT_EQ(key.picture.isNull(), c.outcome != DecodedPicture::kPicture);
    if (c.outcome == DecodedPicture::kPicture) {
      EXPECT_EQ(key.picture.size(), QSize(64, 36));
    }
    // The frames after a key frame name no size of their own: they take the refusal with them.
    EXPECT_EQ(decoder->Decode(devsim::FlatRepeatFrame(c.width, c.height, 1), 64, 36).outcome, c.outcome);
  }
}

TEST(H264Decoder, ASequenceKeepingMorePicturesThanTheLevelAllowsIsRefused) {
  // The level keeps 696,320 macroblocks of pictures for reference: 4096 x 2800
  // (44,800) may keep 15, not 16. What one such picture costs is measured
  // here first (a sanitizer's shadow memory makes it more than its 17 MB), by
  // a decoder kept alive so that the next one's memory is new.
  constexpr int kWidth = 4096, kHeight = 2800;
  auto one = DecoderFor(kWidth, kHeight);
  ASSERT_TRUE(one);
  ASSERT_TRUE(testsupport::ResetPeakResident());
  int64_t before = testsupport::PeakResidentKiB();
  ASSERT_EQ(one->Decode(devsim::FlatKeyFrame(kWidth, kHeight, 1), 16, 9).outcome, DecodedPicture::kPicture);
  const int64_t onePictureKiB = testsupport::PeakResidentKiB() - before;

  auto decoder = DecoderFor(kWidth, kHeight);
  ASSERT_TRUE(decoder);
  ASSERT_TRUE(testsupport::ResetPeakResident());
  before = testsupport::PeakResidentKiB();
  EXPECT_EQ(decoder->Decode(devsim::FlatKeyFrame(kWidth, kHeight, 16), 16, 9).outcome, DecodedPicture::kRefused);
  for (uint32_t i = 1; i <= 8; ++i)
    EXPECT_EQ(decoder->Decode(devsim::FlatRepeatFrame(kWidth, kHeight, i), 16, 9).outcome, DecodedPicture::kRefused)
        << i;
  EXPECT_LT(testsupport::PeakResidentKiB() - before, 2 * onePictureKiB)
      << "one picture and the decoder's tables took " << onePictureKiB / 1024 << " MiB";
  // New sequence parameters within the level: the stream goes on.
  EXPECT_EQ(decoder->Decode(devsim::FlatKeyFrame(kWidth, kHeight, 15), 16, 9).outcome, DecodedPicture::kPicture);
  for (uint32_t i = 1; i <= 2; ++i)
    EXPECT_EQ(decoder->Decode(devsim::FlatRepeatFrame(kWidth, kHeight, i), 16, 9).outcome, DecodedPicture::kPicture)
        << i;
}

TEST(H264Decoder, AFlatPictureIsGrey) {
  auto decoder = DecoderFor(640, 360);
  ASSERT_TRUE(decoder);
  const auto decoded = decoder->Decode(devsim::FlatKeyFrame(640, 360), 32, 18);
  ASSERT_EQ(decoded.outcome, DecodedPicture::kPicture);
  const QColor centre = decoded.picture.pixelColor(16, 9);
  EXPECT_NEAR(centre.red(), 128, 4);
  EXPECT_NEAR(centre.green(), 128, 4);
  EXPECT_NEAR(centre.blue(), 128, 4);
}

}  // namespace
