#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include "tests/ui/controls/render_support.h"
#include "ui/controls/color_list.h"

namespace {

const QColor kBase(0x40, 0x40, 0x40);  // the view's own background, unlike every row colour

class ColorListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list_.resize(600, 300);
    QPalette pal = list_.palette();
    pal.setColor(QPalette::Base, kBase);
    list_.setPalette(pal);
    list_.setColumnCount(4);
    list_.setHeaderLabels({"No.", "IP", "MAC", "Type"});
    for (int c = 0; c < 4; ++c) list_.header()->resizeSection(c, 100);
    list_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list_));
  }
  void AddRows(int n) {
    for (int i = 0; i < n; ++i) {
      auto* item = new QTreeWidgetItem(&list_);
      item->setText(0, QString::number(i + 1));
      item->setText(1, QString("192.168.1.%1").arg(10 + i));
    }
  }
  QImage Viewport() { return Grab(*list_.viewport()); }
  QRect RowRect(int row) { return list_.visualItemRect(list_.topLevelItem(row)); }
  // A point inside cell (row, column) clear of its frame lines and text.
  QPoint CellInside(int row, int column) {
    const QRect r = RowRect(row);
    return QPoint(list_.header()->sectionViewportPosition(column) + list_.header()->sectionSize(column) - 6,
                  r.top() + 2);
  }

  CMyColorListCtrlEx list_;
};

TEST_F(ColorListTest, EvenOddAndSelectedRowColours) {
  AddRows(4);
  QImage img = Viewport();
  EXPECT_EQ(PixelAt(img, CellInside(0, 2).x(), CellInside(0, 2).y()), list_.evenRowColour) << "row 0 is even";
  EXPECT_EQ(PixelAt(img, CellInside(1, 2).x(), CellInside(1, 2).y()), list_.oddRowColour);
  EXPECT_EQ(PixelAt(img, CellInside(2, 2).x(), CellInside(2, 2).y()), list_.evenRowColour);
  EXPECT_EQ(list_.evenRowColour, QColor(0xCB, 0xCD, 0xD1));
  EXPECT_EQ(list_.oddRowColour, QColor(0xB4, 0xBA, 0xC0));
  EXPECT_EQ(list_.selectedRowColour, QColor(0x70, 0xB4, 0xFF));

  list_.topLevelItem(1)->setSelected(true);
  img = Viewport();
  KeepPicture(Grab(list_), "color_list_selected");
  EXPECT_EQ(PixelAt(img, CellInside(1, 0).x(), CellInside(1, 0).y()), list_.selectedRowColour);
  EXPECT_EQ(PixelAt(img, CellInside(1, 3).x(), CellInside(1, 3).y()), list_.selectedRowColour);
  EXPECT_EQ(PixelAt(img, CellInside(0, 2).x(), CellInside(0, 2).y()), list_.evenRowColour);
  EXPECT_EQ(PixelAt(img, CellInside(2, 2).x(), CellInside(2, 2).y()), list_.evenRowColour);
}

TEST_F(ColorListTest, WhiteFramesOnTheLastPixelsOfEveryCell) {
  AddRows(3);
  const QImage img = Viewport();
  const QRect r = RowRect(1);
  const int y = r.top() + r.height() / 2;
  for (int c = 0; c < 4; ++c) {
    const int right = list_.header()->sectionViewportPosition(c) + list_.header()->sectionSize(c) - 1;
    EXPECT_EQ(PixelAt(img, right, y), QColor(Qt::white)) << "column " << c;
    EXPECT_NE(PixelAt(img, right - 3, r.top() + 2), QColor(Qt::white)) << "column " << c;
  }
  EXPECT_EQ(PixelAt(img, 50, r.bottom()), QColor(Qt::white)) << "bottom line of the row";
  EXPECT_EQ(PixelAt(img, 50, r.top() - 1), QColor(Qt::white)) << "the line above is the row before's";
}

TEST_F(ColorListTest, FillerRightOfTheLastColumnTakesTheRowColourEvenWhenSelected) {
  AddRows(2);
  list_.topLevelItem(0)->setSelected(true);
  const QImage img = Viewport();
  const int fillerX = 450;  // columns end at 400, the viewport is wider
  ASSERT_GT(img.width(), fillerX + 10);
  EXPECT_EQ(PixelAt(img, fillerX, RowRect(0).top() + 3), list_.evenRowColour);
  EXPECT_EQ(PixelAt(img, fillerX, RowRect(1).top() + 3), list_.oddRowColour);
  EXPECT_EQ(PixelAt(img, img.width() - 1, RowRect(1).top() + 3), QColor(Qt::white)) << "filler frame";
  // Below the last row the view's own background stays.
  EXPECT_EQ(PixelAt(img, fillerX, RowRect(1).bottom() + 10), kBase);
}

TEST_F(ColorListTest, EmptyListOrFramesOffLeaveThePlatformsPainting) {
  QImage img = Viewport();
  for (int x = 0; x < img.width(); x += 37)
    for (int y = 0; y < img.height(); y += 29) EXPECT_EQ(PixelAt(img, x, y), kBase);
  AddRows(2);
  list_.gridFrames = false;
  img = Viewport();
  const QRect r = RowRect(0);
  for (int x = 0; x < 400; ++x) EXPECT_NE(PixelAt(img, x, r.bottom()), QColor(Qt::white)) << x;
  EXPECT_EQ(PixelAt(img, 450, r.top() + 3), list_.evenRowColour) << "rows keep their colour";
}

// Drags the header divider that lies at x (viewport coordinates) by dx.
void DragDivider(QHeaderView* header, int x, int dx) {
  QWidget* vp = header->viewport();
  const int y = vp->height() / 2;
  QTest::mouseMove(vp, QPoint(x, y));
  QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(x, y));
  QTest::mouseMove(vp, QPoint(x + dx / 2, y));
  QTest::mouseMove(vp, QPoint(x + dx, y));
  QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(x + dx, y));
}

TEST_F(ColorListTest, MaskedColumnsRefuseDividerDragsButOwnersSetWidths) {
  AddRows(2);
  QHeaderView* h = list_.header();
  list_.columnMask = 0xF;
  DragDivider(h, 199, 30);
  EXPECT_EQ(h->sectionSize(1), 130) << "column 1 allowed";

  list_.columnMask = 0xF & ~(1u << 2);
  const int before = h->sectionSize(2);
  DragDivider(h, h->sectionViewportPosition(2) + before - 1, 40);
  EXPECT_EQ(h->sectionSize(2), before) << "column 2 masked";

  // A hidden column (width 0) with a clear bit cannot be dragged open from
  // the divider it shares with its neighbour.
  h->resizeSection(2, 0);
  const int edge = h->sectionViewportPosition(3);
  DragDivider(h, edge + 1, 50);
  EXPECT_EQ(h->sectionSize(2), 0);
  h->resizeSection(2, 80);
  EXPECT_EQ(h->sectionSize(2), 80) << "the owner can still set the width";

  list_.columnMask = 0x7F;
  DragDivider(h, h->sectionViewportPosition(2) + 80 - 1, 20);
  EXPECT_EQ(h->sectionSize(2), 100);
}

TEST_F(ColorListTest, ThumbScrollsInPixelsAndKeepsTheOtherAxis) {
  list_.setColumnCount(14);
  for (int c = 0; c < 14; ++c) list_.header()->resizeSection(c, 100);
  AddRows(200);
  QCoreApplication::processEvents();  // the view lays its rows out later
  EXPECT_EQ(list_.verticalScrollMode(), QAbstractItemView::ScrollPerPixel);
  EXPECT_EQ(list_.horizontalScrollMode(), QAbstractItemView::ScrollPerPixel);
  QScrollBar* v = list_.verticalScrollBar();
  QScrollBar* hs = list_.horizontalScrollBar();
  EXPECT_GT(v->maximum(), 200) << "the range is in pixels, not rows";
  hs->setValue(333);
  v->setSliderDown(true);
  v->setSliderPosition(517);
  v->setSliderDown(false);
  EXPECT_EQ(v->value(), 517);
  EXPECT_EQ(hs->value(), 333);
  hs->setValue(120);
  EXPECT_EQ(v->value(), 517);
  KeepPicture(Grab(list_), "color_list_scrolled");
}

}  // namespace
