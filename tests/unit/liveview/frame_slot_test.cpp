#include <gtest/gtest.h>

#include <QWidget>
#include <chrono>
#include <optional>
#include <vector>

#include "libs/liveview/video_canvas.h"

namespace {

QImage Picture() { return QImage(4, 4, QImage::Format_RGB32); }
uint64_t NowUs() {
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch()).count());
}

TEST(FrameSlot, CountsGapsInFrameNumbersAsLostOnTheWire) {
  constexpr uint32_t kLast = 0xFFFFFFFFu;
  struct Case {
    const char* what;
    std::vector<uint32_t> numbers;
    uint64_t lost;
  } cases[] = {
      {"gaps", {0, 1, 2, 5, 6, 10}, 2 + 3},
      {"wrap", {kLast - 1, kLast, 0, 1}, 0},
      {"a gap across the wrap", {kLast - 2, 3}, 5},
      {"repeats", {7, 7, 7, 8}, 0},
      {"a count that starts again", {100, 101, 0, 1, 3}, 1},
      {"the first number is no gap", {kLast}, 0},
      {"a jump of less than half the range is a gap", {0, 0x7FFFFFFFu}, 0x7FFFFFFEu},
      {"a jump of more than half the range went back", {0, 0x80000001u, 0x80000002u}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    liveview::FrameSlot slot;
    for (const uint32_t n : c.numbers) slot.CountReceived(n);
    const auto s = slot.Statistics();
    EXPECT_EQ(s.framesReceived, c.numbers.size());
    EXPECT_EQ(s.framesLostOnWire, c.lost);
  }
}

TEST(FrameSlot, ADelayFromACaptureTimeThatMakesNoSenseIsLeftOut) {
  constexpr int64_t kNow = 1'800'000'000'000'000;  // 2027, in microseconds
  constexpr uint64_t kSigned = uint64_t{1} << 63;
  struct Case {
    const char* what;
    uint64_t capture;
    int64_t paint;
    std::optional<int64_t> delay;
  } cases[] = {
      {"40 ms", kNow - 40'000, kNow, 40'000},
      {"a device clock a little ahead", kNow + 3'000, kNow, -3'000},
      {"a minute", kNow - 60'000'000, kNow, 60'000'000},
      {"more than a minute", kNow - 60'000'001, kNow, std::nullopt},
      {"an hour in the future", kNow + 3'600'000'000, kNow, std::nullopt},
      {"the epoch", 0, kNow, std::nullopt},
      {"2^63", kSigned, kNow, std::nullopt},
      {"2^64 - 1", ~uint64_t{0}, kNow, std::nullopt},
      {"2^63 - 1", kSigned - 1, kNow, std::nullopt},
      {"a paint clock before the epoch", kSigned - 1, -kNow, std::nullopt},
      {"both at the epoch", 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(liveview::CaptureToPaintUs(c.capture, c.paint), c.delay);
  }
}

TEST(FrameSlot, APaintedPictureWithASenselessCaptureTimeCountsButKeepsNoDelay) {
  liveview::FrameSlot slot;
  QImage shown;
  for (const uint64_t capture : {uint64_t{0}, uint64_t{1} << 63, ~uint64_t{0}}) {
    slot.Offer(Picture(), capture);
    ASSERT_TRUE(slot.TakeForPaint(shown));
  }
  const auto s = slot.Statistics();
  EXPECT_EQ(s.framesPainted, 3u);
  EXPECT_TRUE(s.delaysUs.empty());
  EXPECT_EQ(s.delaysLeftOut, 3u);
}

TEST(FrameSlot, APictureReplacedBeforeItWasPaintedCountsAsNotShown) {
  liveview::FrameSlot slot;
  QImage shown;
  EXPECT_FALSE(slot.TakeForPaint(shown));
  EXPECT_TRUE(slot.Offer(Picture(), NowUs()));   // the canvas must be told
  EXPECT_FALSE(slot.Offer(Picture(), NowUs()));  // already told; the first is lost
  EXPECT_TRUE(slot.TakeForPaint(shown));
  EXPECT_FALSE(slot.TakeForPaint(shown));  // nothing new: no second count
  EXPECT_TRUE(slot.Offer(Picture(), NowUs()));
  const auto s = slot.Statistics();
  EXPECT_EQ(s.framesPainted, 1u);
  EXPECT_EQ(s.framesNotPainted, 1u);
  ASSERT_EQ(s.delaysUs.size(), 1u);
}

}  // namespace

namespace {

TEST(VideoCanvas, BlankShowsNothingEvenWithAPictureStillWaiting) {
  QWidget window;
  window.resize(64, 36);
  auto slot = std::make_shared<liveview::FrameSlot>();
  auto* canvas = new liveview::VideoCanvas(&window, slot);
  canvas->setGeometry(0, 0, 64, 36);
  QImage red(64, 36, QImage::Format_RGB32);
  red.fill(Qt::red);
  slot->Offer(red, 1);
  EXPECT_EQ(window.grab().toImage().pixel(10, 10), QColor(Qt::red).rgb());
  slot->Offer(red, 2);  // decoded as the view closes, before any paint
  canvas->Blank();
  EXPECT_EQ(window.grab().toImage().pixel(10, 10), QColor(Qt::black).rgb());
  EXPECT_EQ(slot->Statistics().framesPainted, 1u);
}

}  // namespace
