#include <gtest/gtest.h>

#include "libs/liveview/video_canvas.h"

namespace {

QImage Picture() { return QImage(4, 4, QImage::Format_RGB32); }

TEST(FrameSlot, CountsGapsInFrameNumbersAsLostOnTheWire) {
  liveview::FrameSlot slot;
  for (uint32_t n : {0u, 1u, 2u, 5u, 6u, 10u}) slot.CountReceived(n);
  const auto s = slot.Statistics();
  EXPECT_EQ(s.framesReceived, 6u);
  EXPECT_EQ(s.framesLostOnWire, 2u + 3u);
}

TEST(FrameSlot, APictureReplacedBeforeItWasPaintedCountsAsNotShown) {
  liveview::FrameSlot slot;
  QImage shown;
  EXPECT_FALSE(slot.TakeForPaint(shown));
  EXPECT_TRUE(slot.Offer(Picture(), 1));   // the canvas must be told
  EXPECT_FALSE(slot.Offer(Picture(), 2));  // already told; the first is lost
  EXPECT_TRUE(slot.TakeForPaint(shown));
  EXPECT_FALSE(slot.TakeForPaint(shown));  // nothing new: no second count
  EXPECT_TRUE(slot.Offer(Picture(), 3));
  const auto s = slot.Statistics();
  EXPECT_EQ(s.framesPainted, 1u);
  EXPECT_EQ(s.framesNotPainted, 1u);
  ASSERT_EQ(s.delaysUs.size(), 1u);
}

}  // namespace
