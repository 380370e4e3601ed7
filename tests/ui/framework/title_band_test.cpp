#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "ui/framework/title_band.h"

namespace {

class TitleBandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window_.setGeometry(100, 100, 400, 300);
    child_ = new QWidget(&window_);  // a label-like child in the band
    child_->setGeometry(10, 10, 100, 20);
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
  }
  // A real mouse moves in screen coordinates, whatever the window does.
  void Drag(QWidget* on, QPoint from, QPoint delta) {
    const QPoint start = on->mapToGlobal(from);
    QTest::mousePress(on, Qt::LeftButton, {}, from);
    QTest::mouseMove(on, on->mapFromGlobal(start + delta / 2));
    QTest::mouseMove(on, on->mapFromGlobal(start + delta));
    QTest::mouseRelease(on, Qt::LeftButton, {}, on->mapFromGlobal(start + delta));
  }
  QWidget window_;
  QWidget* child_ = nullptr;
};

TEST_F(TitleBandTest, PressInTheBandMovesTheWindowAndLowerDoesNot) {
  titleband::TitleBand band(&window_, 61);  // client y 0 to 60
  const struct {
    int y;
    bool moves;
  } cases[] = {{0, true}, {30, true}, {60, true}, {61, false}, {200, false}};
  for (const auto& c : cases) {
    const QPoint before = window_.pos();
    Drag(&window_, QPoint(200, c.y), QPoint(25, 15));
    EXPECT_EQ(window_.pos() != before, c.moves) << "y " << c.y;
    if (c.moves) {
      EXPECT_EQ(window_.pos(), before + QPoint(25, 15)) << "y " << c.y;
    }
  }
}

TEST_F(TitleBandTest, PressOnAChildInTheBandMovesTheWindowToo) {
  titleband::TitleBand band(&window_, 40);
  const QPoint before = window_.pos();
  Drag(child_, QPoint(20, 5), QPoint(-30, 12));
  EXPECT_EQ(window_.pos(), before + QPoint(-30, 12));
}

TEST_F(TitleBandTest, DoubleClickInTheBandTogglesMaximiseToTheWorkArea) {
  titleband::TitleBand band(&window_, 61);
  band.SetDoubleClickAction([this] { titleband::ToggleMaximiseToWorkArea(&window_); });
  const QRect before = window_.geometry();
  QTest::mouseDClick(&window_, Qt::LeftButton, {}, QPoint(200, 61));
  EXPECT_EQ(window_.geometry(), before) << "below the band";
  QTest::mouseDClick(&window_, Qt::LeftButton, {}, QPoint(200, 60));
  EXPECT_TRUE(titleband::IsMaximisedToWorkArea(&window_));
  EXPECT_EQ(window_.geometry(), QGuiApplication::primaryScreen()->availableGeometry());
  QTest::mouseDClick(&window_, Qt::LeftButton, {}, QPoint(200, 10));
  EXPECT_FALSE(titleband::IsMaximisedToWorkArea(&window_));
  EXPECT_EQ(window_.geometry(), before);
}

}  // namespace
