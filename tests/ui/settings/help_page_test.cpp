// The help page: its layout with and without a page logo, its pictures, and
// the ways it ends.
#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <functional>

#include "core/language/language.h"
#include "ui/framework/modal_seam.h"
#include "ui/tools/dlg_help.h"

namespace {

QPixmap Filled(int w, int h, Qt::GlobalColor colour) {
  QPixmap p(w, h);
  p.fill(colour);
  return p;
}

TEST(HelpPage, LayoutFollowsThePageLogo) {
  const struct {
    int logoHeight;  // 0: no logo
    QRect logo;
    int titleX;
  } cases[] = {{40, QRect(10, 5, 40, 40), 60}, {0, QRect(10, 9, 32, 32), 52}, {20, QRect(10, 15, 20, 20), 40}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.logoHeight);
    CDlgHelp help;
    if (c.logoHeight) help.pageLogo = Filled(c.logoHeight, c.logoHeight, Qt::blue);
    help.OnInitDialog();
    EXPECT_EQ(help.size(), QSize(640, 578));
    EXPECT_EQ(help.logoPicture.geometry(), c.logo);
    EXPECT_EQ(help.titleText.geometry(), QRect(c.titleX, 15, 300, 20));
    EXPECT_EQ(help.closeButton.geometry(), QRect(616, 6, 20, 20));
    EXPECT_EQ(help.picture.geometry(), QRect(0, 50, 640, 528));
    EXPECT_EQ(help.titleText.text(), Text("tx.Help"));
    EXPECT_EQ(help.logoPicture.pixmap().isNull(), c.logoHeight == 0);
  }
}

TEST(HelpPage, ShowsTheHelpPictureInTheBandColours) {
  CDlgHelp help;
  help.backgroundColour = 0x313131;
  help.titleColour = 0xFFFFFF;
  help.helpPicture = Filled(640, 528, Qt::green);
  help.OnInitDialog();
  const QImage shot = help.grab().toImage();
  EXPECT_EQ(shot.pixelColor(320, 25), QColor(0x31, 0x31, 0x31));  // the band
  EXPECT_EQ(shot.pixelColor(320, 300), QColor(Qt::green));       // the picture fills the rest
  EXPECT_EQ(help.titleText.palette().color(QPalette::WindowText), QColor(Qt::white));
}

TEST(HelpPage, WithoutAHelpPictureTheAreaShowsTheBackground) {
  CDlgHelp help;
  help.backgroundColour = 0x313131;
  help.OnInitDialog();
  EXPECT_TRUE(help.picture.pixmap().isNull());
  EXPECT_EQ(help.grab().toImage().pixelColor(320, 300), QColor(0x31, 0x31, 0x31));
}

TEST(HelpPage, CloseButtonEnterAndEscEndTheRun) {
  const std::function<void(CDlgHelp&)> ends[] = {
      [](CDlgHelp& h) { h.closeButton.click(); },
      [](CDlgHelp& h) { QTest::keyClick(&h, Qt::Key_Return); },
      [](CDlgHelp& h) { QTest::keyClick(&h, Qt::Key_Escape); },
  };
  for (const auto& end : ends) {
    CDlgHelp help;
    QTimer::singleShot(0, &help, [&] { end(help); });
    QTimer::singleShot(5000, &help, [&] { help.done(-1); });  // a run that does not end fails, not hangs
    const int result = help.DoModal();
    EXPECT_NE(result, -1);
    EXPECT_FALSE(help.isVisible());
  }
}

TEST(HelpPage, PressInTheBandDragsButOnThePictureDoesNot) {
  CDlgHelp help;
  help.OnInitDialog();
  help.show();
  for (const auto& [y, moves] : {std::pair{10, true}, std::pair{49, true}, std::pair{50, false}, std::pair{300, false}}) {
    const QPoint before = help.pos();
    QWidget* target = help.childAt(200, y) ? help.childAt(200, y) : &help;
    const QPoint at = target->mapFrom(&help, QPoint(200, y));
    QTest::mousePress(target, Qt::LeftButton, {}, at);
    QMouseEvent move(QEvent::MouseMove, QPointF(at + QPoint(25, 15)), target->mapToGlobal(QPointF(at + QPoint(25, 15))),
                     Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &move);
    QTest::mouseRelease(target, Qt::LeftButton, {}, at + QPoint(25, 15));
    EXPECT_EQ(help.pos() != before, moves) << y;
    help.move(before);
  }
}

}  // namespace
