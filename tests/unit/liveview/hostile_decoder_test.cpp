// The decoder against hand-written streams that hold what no honest camera
// sends: what the decoder is given, what it may hold and how much work a
// frame may make are the program's to decide. The flat-picture writer makes
// the streams; the malformed units are its output edited byte by byte.
#include "libs/liveview/h264_decoder.h"
#include "libs/liveview/decoder_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/peak_memory.h"
#include "tools/devsim/flat_h264.h"

namespace {

using liveview::DecodedPicture;
using liveview::H264Decoder;
using Bytes = std::vector<uint8_t>;

std::unique_ptr<H264Decoder> DecoderFor(int width, int height) {
  return H264Decoder::Create(liveview::PictureLimits(
      {devicelink::msg::kCodecH264, static_cast<uint16_t>(width), static_cast<uint16_t>(height), 25}));
}

// A stream of flat pictures: a key frame, then `frames - 1` after it.
std::vector<Bytes> Stream(const devsim::FlatSequence& s, int frames) {
  std::vector<Bytes> out{devsim::FlatKeyFrame(s)};
  for (int i = 1; i < frames; ++i) out.push_back(devsim::FlatRepeatFrame(s, static_cast<uint32_t>(i)));
  return out;
}

devsim::FlatSequence Flat(int width, int height, int references = 1) {
  devsim::FlatSequence s;
  s.width = width;
  s.height = height;
  s.references = references;
  return s;
}

std::vector<DecodedPicture::Outcome> Play(H264Decoder& decoder, const std::vector<Bytes>& frames) {
  std::vector<DecodedPicture::Outcome> outcomes;
  for (const Bytes& f : frames) outcomes.push_back(decoder.Decode(f, 16, 9).outcome);
  return outcomes;
}

// The level's largest frame, and an announcement beyond the level, which the
// level then caps.
constexpr int kLevelWidth = 8192, kLevelHeight = 4352;

// What a stream of the level's largest frames costs when it is honest: five
// references, each a picture, as the level allows. Measured in the same run
// by a decoder kept alive, so that the next one's memory is new (the
// sanitizers' shadow memory makes each picture cost more than its bytes).
class LevelSizeStream : public ::testing::Test {
 protected:
  void SetUp() override {
    honest = DecoderFor(65535, 65535);
    ASSERT_TRUE(honest);
    ASSERT_TRUE(testsupport::ResetPeakResident());
    const int64_t before = testsupport::PeakResidentKiB();
    for (const auto outcome : Play(*honest, Stream(Flat(kLevelWidth, kLevelHeight, 5), 10)))
      ASSERT_EQ(outcome, DecodedPicture::kPicture);
    honestKiB = testsupport::PeakResidentKiB() - before;
    // Five references and the picture under decode: the whole store, and one more.
    EXPECT_EQ(honest->peakHeldBytes(), liveview::kPictureStoreBytes * 6 / 5);
  }
  // The stream's growth of peak memory, played into a decoder of its own;
  // the pictures it held never took more than the level's store and the
  // one under decode, whose sequence is `s`.
  int64_t GrowthKiB(const devsim::FlatSequence& s, const std::vector<Bytes>& frames,
                    std::vector<DecodedPicture::Outcome>& outcomes) {
    auto decoder = DecoderFor(65535, 65535);
    EXPECT_TRUE(testsupport::ResetPeakResident());
    const int64_t before = testsupport::PeakResidentKiB();
    outcomes = Play(*decoder, frames);
    const int64_t picture = liveview::PictureLimits::PictureBytes(
        int64_t{(s.width + 15) / 16} * ((s.height + 15) / 16), s.chromaFormat, s.bitDepth);
    EXPECT_LE(decoder->peakHeldBytes(), liveview::kPictureStoreBytes + picture);
    return testsupport::PeakResidentKiB() - before;
  }
  // As the level's honest stream's, give or take what the decoder's own tables need.
  void ExpectWithinTheHonestStream(int64_t growthKiB) {
    EXPECT_LT(growthKiB, honestKiB + 64 * 1024)
        << "grew " << growthKiB / 1024 << " MiB; the honest stream of the level's largest frames "
        << honestKiB / 1024 << " MiB";
  }
  std::unique_ptr<H264Decoder> honest;
  int64_t honestKiB = 0;
};

TEST(HostileDecoder, ParameterSetsAfterTheSliceAreRefusedWithTheirFrame) {
  // Announced 1280 x 720. Every frame: slices of PPS 1 / SPS 1, then those
  // sets, describing a picture far beyond the level, cropped to the
  // announced size. The sets would begin the next access unit.
  struct Case {
    const char* what;
    int width, height, references;
  } cases[] = {
      {"16384 x 10880, one reference", 16384, 10880, 1},
      {"16384 x 16128, no reference", 16384, 16128, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    devsim::FlatSequence s = Flat(c.width, c.height, c.references);
    s.shownWidth = 1280;
    s.shownHeight = 720;
    s.parameterSetsAfterSlices = true;
    s.parameterSetId = 1;
    auto decoder = DecoderFor(1280, 720);
    ASSERT_TRUE(decoder);
    ASSERT_TRUE(testsupport::ResetPeakResident());
    const int64_t before = testsupport::PeakResidentKiB();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(decoder->Decode(devsim::FlatKeyFrame(s), 16, 9).outcome, DecodedPicture::kRefused) << i;
    EXPECT_LT(testsupport::PeakResidentKiB() - before, 100 * 1024) << "one such picture takes over 500 MiB";
  }
}

// Units of a good 640 x 360 key frame, edited.
Bytes KeyFrame() { return devsim::FlatKeyFrame(640, 360); }
// Where the n-th NAL unit's header byte stands.
std::size_t Unit(const Bytes& frame, int n) {
  for (std::size_t i = 0; i + 3 < frame.size(); ++i)
    if (frame[i] == 0 && frame[i + 1] == 0 && frame[i + 2] == 1 && n-- == 0) return i + 3;
  return frame.size();
}
std::size_t UnitEnd(const Bytes& frame, int n) {
  const std::size_t next = Unit(frame, n + 1);
  return next == frame.size() ? next : next - 4;  // the writer's start codes are four bytes
}

TEST(HostileDecoder, UnitsTheReaderCannotReadAsTheStandardWritesThemAreRefusedWithTheirFrame) {
  using Edit = std::function<Bytes()>;
  struct Case {
    const char* what;
    Edit frame;
  } cases[] = {
      {"slices of parameter sets never sent", [] {
         Bytes f = KeyFrame();
         return Bytes(f.begin() + static_cast<std::ptrdiff_t>(Unit(f, 2) - 4), f.end());
       }},
      {"sequence parameters with the forbidden bit", [] {
         Bytes f = KeyFrame();
         f[Unit(f, 0)] |= 0x80;
         return f;
       }},
      {"sequence parameters cut short", [] {
         Bytes f = KeyFrame();
         f.erase(f.begin() + static_cast<std::ptrdiff_t>(UnitEnd(f, 0) - 2), f.begin() + static_cast<std::ptrdiff_t>(UnitEnd(f, 0)));
         return f;
       }},
      {"sequence parameters with data after their trailing bits", [] {
         Bytes f = KeyFrame();
         f.insert(f.begin() + static_cast<std::ptrdiff_t>(UnitEnd(f, 0)), 0x80);
         return f;
       }},
      {"a profile libavcodec reads otherwise", [] {
         Bytes f = KeyFrame();
         f[Unit(f, 0) + 1] = 144;  // the old High 4:4:4 profile, no longer in the standard
         return f;
       }},
      {"picture parameters with slice groups", [] {
         Bytes f = KeyFrame();
         const Bytes groups{0x68, 0xC5, 0xF1, 0xC4};  // two interleaved slice groups
         f.erase(f.begin() + static_cast<std::ptrdiff_t>(Unit(f, 1)), f.begin() + static_cast<std::ptrdiff_t>(UnitEnd(f, 1)));
         f.insert(f.begin() + static_cast<std::ptrdiff_t>(Unit(f, 1)), groups.begin(), groups.end());
         return f;
       }},
      {"00 00 02 within a slice", [] {
         Bytes f = KeyFrame();
         const std::size_t middle = (Unit(f, 2) + f.size()) / 2;
         f.insert(f.begin() + static_cast<std::ptrdiff_t>(middle), {0, 0, 2});
         return f;
       }},
      {"bytes before the first start code", [] {
         Bytes f = KeyFrame();
         f.insert(f.begin(), 0xFF);
         return f;
       }},
      {"two pictures in one frame", [] {
         Bytes f = KeyFrame();
         const Bytes again = KeyFrame();
         f.insert(f.end(), again.begin() + static_cast<std::ptrdiff_t>(Unit(again, 2) - 4), again.end());
         return f;
       }},
      {"two top fields in one frame", [] {
         devsim::FlatSequence s = Flat(640, 360);
         s.fields = true;
         Bytes f = devsim::FlatKeyFrame(s);  // SPS, PPS, the top field, the bottom field
         const std::size_t top = Unit(f, 2) - 4, bottom = Unit(f, 3) - 4;
         const Bytes topField(f.begin() + static_cast<std::ptrdiff_t>(top), f.begin() + static_cast<std::ptrdiff_t>(bottom));
         f.erase(f.begin() + static_cast<std::ptrdiff_t>(bottom), f.end());
         f.insert(f.end(), topField.begin(), topField.end());
         return f;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto decoder = DecoderFor(640, 360);
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decoder->Decode(c.frame(), 16, 9).outcome, DecodedPicture::kRefused);
    // A good key frame after it is shown.
    EXPECT_EQ(decoder->Decode(KeyFrame(), 16, 9).outcome, DecodedPicture::kPicture);
  }
}

TEST_F(LevelSizeStream, ASequenceWhosePicturesWaitingToBeShownExceedTheStoreIsRefused) {
  // One reference, but the VUI asks the decoder to hold 16 pictures back.
  devsim::FlatSequence s = Flat(kLevelWidth, kLevelHeight, 1);
  s.reorderFrames = 16;
  std::vector<DecodedPicture::Outcome> outcomes;
  ExpectWithinTheHonestStream(GrowthKiB(s, Stream(s, 20), outcomes));
  for (const auto outcome : outcomes) EXPECT_EQ(outcome, DecodedPicture::kRefused);
}

TEST_F(LevelSizeStream, PicturesTheDecoderHoldsForTheOrderItInfersAreCounted) {
  // No reorder depth announced; each picture is to be shown before the one
  // decoded before it, so the decoder infers a deeper and deeper one.
  devsim::FlatSequence s = Flat(kLevelWidth, kLevelHeight, 1);
  s.reverseOrder = true;
  std::vector<DecodedPicture::Outcome> outcomes;
  ExpectWithinTheHonestStream(GrowthKiB(s, Stream(s, 40), outcomes));
  EXPECT_NE(std::find(outcomes.begin(), outcomes.end(), DecodedPicture::kRefused), outcomes.end());
}

TEST_F(LevelSizeStream, PicturesMadeUpForGapsInFrameNumbersAreCounted) {
  devsim::FlatSequence s = Flat(kLevelWidth, kLevelHeight, 5);
  s.frameNumGaps = true;
  std::vector<DecodedPicture::Outcome> outcomes;
  ExpectWithinTheHonestStream(GrowthKiB(s, Stream(s, 20), outcomes));
  EXPECT_NE(std::find(outcomes.begin(), outcomes.end(), DecodedPicture::kRefused), outcomes.end());
}

TEST_F(LevelSizeStream, DeepSamplesAndFullChromaCountInBytes) {
  // Legal at the level in macroblocks, but 4:4:4 at 14 bits is four times
  // the bytes of 8-bit 4:2:0: five such pictures are twenty of the store's.
  devsim::FlatSequence s = Flat(kLevelWidth, kLevelHeight, 5);
  s.chromaFormat = 3;
  s.bitDepth = 14;
  std::vector<DecodedPicture::Outcome> outcomes;
  ExpectWithinTheHonestStream(GrowthKiB(s, Stream(s, 8), outcomes));
  for (const auto outcome : outcomes) EXPECT_EQ(outcome, DecodedPicture::kRefused);
}

TEST(HostileDecoder, TheSampleFormatsOfHonestSequencesAreShown) {
  struct Case {
    const char* what;
    int chroma, depth, references;
  } cases[] = {
      {"8-bit 4:2:0", 1, 8, 5},
      {"10-bit 4:2:0", 1, 10, 4},
      {"8-bit monochrome", 0, 8, 2},
      {"10-bit 4:2:2", 2, 10, 2},
      {"14-bit 4:4:4", 3, 14, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    devsim::FlatSequence s = Flat(1920, 1080, c.references);
    s.chromaFormat = c.chroma;
    s.bitDepth = c.depth;
    auto decoder = DecoderFor(1920, 1080);
    for (const auto outcome : Play(*decoder, Stream(s, 6))) EXPECT_EQ(outcome, DecodedPicture::kPicture);
  }
}

TEST(HostileDecoder, FramesOfMoreSlicesThanHonestEncodersMakeAreRefused) {
  struct Case {
    const char* what;
    int width, height, slices;
    DecodedPicture::Outcome outcome;
  } cases[] = {
      {"a slice a macroblock at 1280 x 720 (3600)", 1280, 720, 3600, DecodedPicture::kPicture},
      {"a slice a macroblock at the level's largest size (139,264)", kLevelWidth, kLevelHeight, 1 << 30,
       DecodedPicture::kRefused},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    devsim::FlatSequence s = Flat(c.width, c.height);
    s.slices = c.slices;
    auto decoder = DecoderFor(c.width, c.height);
    EXPECT_EQ(decoder->Decode(devsim::FlatKeyFrame(s), 16, 9).outcome, c.outcome);
  }
}

TEST(HostileDecoder, SlicesThatMakeTheDecoderGoOverItsPictureAgainAreRefused) {
  // After the key frame, every frame's 64 slices each start a macroblock
  // later and run to the picture's end: 64 decodes of the whole picture.
  devsim::FlatSequence s = Flat(kLevelWidth, kLevelHeight);
  s.slices = 64;
  s.overlappingSlices = true;
  auto decoder = DecoderFor(kLevelWidth, kLevelHeight);
  const auto outcomes = Play(*decoder, Stream(s, 3));
  EXPECT_EQ(outcomes[0], DecodedPicture::kPicture);
  EXPECT_EQ(outcomes[1], DecodedPicture::kRefused);
  EXPECT_EQ(outcomes[2], DecodedPicture::kRefused);
}

TEST(HostileDecoder, AFrameThatTakesTheThreadLongerThanItsBudgetIsRefused) {
  // Behind the counts, whatever makes a frame slow: here a budget no frame
  // of this size can keep.
  auto decoder = H264Decoder::Create(liveview::PictureLimits({devicelink::msg::kCodecH264, 1920, 1080, 25}),
                                     std::chrono::microseconds(1));
  ASSERT_TRUE(decoder);
  devsim::FlatSequence s = Flat(1920, 1080);
  s.slices = 8;
  EXPECT_EQ(decoder->Decode(devsim::FlatKeyFrame(s), 16, 9).outcome, DecodedPicture::kRefused);
  auto roomy = DecoderFor(1920, 1080);
  EXPECT_EQ(roomy->Decode(devsim::FlatKeyFrame(s), 16, 9).outcome, DecodedPicture::kPicture);
}

// Standard error written to a file while it lives.
class CapturedStandardError {
 public:
  CapturedStandardError() {
    std::fflush(stderr);
    saved_ = ::dup(STDERR_FILENO);
    file_ = std::tmpfile();
    ::dup2(::fileno(file_), STDERR_FILENO);
  }
  ~CapturedStandardError() {
    std::fflush(stderr);
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
    std::fclose(file_);
  }
  long Bytes() {
    std::fflush(stderr);
    struct stat st {};
    return ::fstat(::fileno(file_), &st) == 0 ? static_cast<long>(st.st_size) : -1;
  }

 private:
  int saved_ = -1;
  std::FILE* file_ = nullptr;
};

TEST(HostileDecoder, WhatLibavcodecSaysOfAStreamReachesStandardErrorBounded) {
  // libavcodec warns of every slice beyond its 32nd: 3568 warnings a picture.
  devsim::FlatSequence s = Flat(1280, 720);
  s.slices = 3600;
  auto decoder = DecoderFor(1280, 720);
  CapturedStandardError captured;
  for (int i = 0; i < 3; ++i) ASSERT_EQ(decoder->Decode(devsim::FlatKeyFrame(s), 16, 9).outcome, DecodedPicture::kPicture);
  EXPECT_LT(captured.Bytes(), 1024) << "10,700 warnings were written";
  // The warning is kept once, with its count.
  const auto kinds = liveview::DecoderLog::Kinds();
  const auto slices = std::find_if(kinds.begin(), kinds.end(), [](const liveview::DecoderLog::Kind& k) {
    return k.text.find("Possibly too many slices") != std::string::npos;
  });
  ASSERT_NE(slices, kinds.end());
  EXPECT_GE(slices->count, 3u * 3568);
}

}  // namespace
