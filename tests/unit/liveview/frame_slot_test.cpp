#include <gtest/gtest.h>

#include <QWidget>

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
