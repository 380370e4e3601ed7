#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <functional>
#include <string>
#include <thread>

#include "tests/ui/controls/real_message_box.h"
#include "tests/ui/controls/render_support.h"
#include "ui/controls/dlg_tip.h"
#include "ui/controls/skin_button.h"
#include "ui/framework/skins.h"

namespace {

const QColor kNormal(0x10, 0x80, 0x10);
const QColor kPressed(0x10, 0x10, 0xC0);
const QColor kHover(0xC0, 0xC0, 0x10);
const QColor kDisabled(0x80, 0x80, 0x80);

// A window with one skin button whose four pictures are solid colours, so a
// pixel tells which picture is drawn.
class SkinButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.resize(320, 120);
    host_.setAutoFillBackground(true);
    QPalette pal = host_.palette();
    pal.setColor(QPalette::Window, Qt::white);
    host_.setPalette(pal);
    button_ = new CxSkinButton(&host_);
    button_->setGeometry(20, 20, 88, 32);
    SetSolidPictures(88, 32);
    host_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host_));
  }
  void SetSolidPictures(int w, int h) {
    button_->SetSkinPictures(QPixmap::fromImage(SolidPicture(w, h, kNormal)),
                             QPixmap::fromImage(SolidPicture(w, h, kPressed)),
                             QPixmap::fromImage(SolidPicture(w, h, kHover)),
                             QPixmap::fromImage(SolidPicture(w, h, kDisabled)));
  }
  // The button as the window shows it (its transparent parts show the window).
  QImage Drawn() { return host_.grab(button_->geometry()).toImage().convertToFormat(QImage::Format_RGB32); }
  QColor Centre() {
    const QImage img = Drawn();
    return PixelAt(img, img.width() / 2, 3);
  }
  QPoint Inside() const { return QPoint(44, 16); }
  QPoint OutsideInHost() const { return QPoint(200, 90); }

  QWidget host_;
  CxSkinButton* button_ = nullptr;
};

TEST_F(SkinButtonTest, ForcedStatePinsOnePictureWhateverTheButtonState) {
  const struct {
    int forced;
    bool enabled;
    QColor expected;
  } cases[] = {
      {0, true, kNormal},   {0, false, kDisabled}, {1, true, kPressed}, {1, false, kPressed},
      {2, true, kHover},    {2, false, kHover},    {3, true, kDisabled}, {-1, true, kDisabled},
      {99, true, kDisabled},
  };
  for (const auto& c : cases) {
    button_->forcedState = c.forced;
    button_->setEnabled(c.enabled);
    EXPECT_EQ(Centre(), c.expected) << "forcedState " << c.forced << " enabled " << c.enabled;
  }
}

TEST_F(SkinButtonTest, ForcedDisabledPictureStaysClickable) {
  button_->forcedState = 3;
  QSignalSpy clicks(button_, &QPushButton::clicked);
  QTest::mouseClick(button_, Qt::LeftButton, {}, Inside());
  EXPECT_EQ(clicks.count(), 1);
  EXPECT_EQ(Centre(), kDisabled);
}

TEST_F(SkinButtonTest, PictureOfTheButtonsSizeIsCopiedUnchanged) {
  button_->SetSkin(skins::kButtonNormal, skins::kButtonPressed, skins::kButtonHover, skins::kButtonDisabled);
  const QImage drawn = Drawn();
  // The transparent corners show the white window, so compare against the
  // picture laid over white.
  QImage expected(88, 32, QImage::Format_RGB32);
  expected.fill(Qt::white);
  QPainter(&expected).drawImage(0, 0, skins::Picture(skins::kButtonNormal));
  EXPECT_EQ(drawn, expected);
}

TEST_F(SkinButtonTest, WiderAndNarrowerButtonsKeepTheTenPixelEnds) {
  // Left 10 columns red, right 10 blue, the middle green.
  QImage picture(88, 32, QImage::Format_RGB32);
  picture.fill(Qt::green);
  QPainter p(&picture);
  p.fillRect(0, 0, 10, 32, Qt::red);
  p.fillRect(78, 0, 10, 32, Qt::blue);
  p.end();
  const QPixmap pm = QPixmap::fromImage(picture);
  button_->SetSkinPictures(pm, pm, pm, pm);
  for (int width : {200, 40}) {
    button_->resize(width, 28);
    const QImage drawn = Drawn();
    KeepPicture(drawn, QString("button_ends_%1").arg(width));
    for (int y : {0, 14, 27}) {
      EXPECT_EQ(PixelAt(drawn, 0, y), QColor(Qt::red)) << width;
      EXPECT_EQ(PixelAt(drawn, 8, y), QColor(Qt::red)) << width;
      EXPECT_EQ(PixelAt(drawn, width - 9, y), QColor(Qt::blue)) << width;
      EXPECT_EQ(PixelAt(drawn, width - 1, y), QColor(Qt::blue)) << width;
      EXPECT_EQ(PixelAt(drawn, width / 2, y), QColor(Qt::green)) << width;
    }
  }
}

TEST_F(SkinButtonTest, DisabledWithoutPictureShowsTheButtonFaceAndCaption) {
  button_->SetSkinPictures(QPixmap::fromImage(SolidPicture(88, 32, kNormal)), QPixmap(), QPixmap(), QPixmap());
  button_->caption = "OK";
  button_->textColour = Qt::black;
  button_->setEnabled(false);
  const QImage drawn = Drawn();
  const QColor face = button_->palette().color(QPalette::Button);
  EXPECT_EQ(PixelAt(drawn, 2, 2), face);
  int dark = 0;
  for (int x = 30; x < 58; ++x)
    for (int y = 8; y < 24; ++y) dark += QColor(drawn.pixel(x, y)).lightness() < 100;
  EXPECT_GT(dark, 5) << "the caption is drawn over the face";
}

TEST_F(SkinButtonTest, WindowTextIsNeverDrawnOnlyTheCaption) {
  button_->setText("Window text");
  const QImage drawn = Drawn();
  EXPECT_EQ(drawn, SolidPicture(88, 32, kNormal));
  button_->caption = "Caption";
  EXPECT_NE(Drawn(), SolidPicture(88, 32, kNormal));
}

TEST_F(SkinButtonTest, CaptionThatDoesNotFitIsCutAndBecomesTheTooltip) {
  button_->SetToolTipText("before");
  button_->caption = "OK";
  Drawn();
  EXPECT_EQ(button_->ToolTipText(), "before") << "a caption that fits leaves the tooltip";

  const QString longCaption = "A caption far too long for an eighty-eight pixel button";
  button_->caption = longCaption;
  const QImage drawn = Drawn();
  KeepPicture(drawn, "button_long_caption");
  EXPECT_EQ(button_->ToolTipText(), longCaption);
  // Cut on one line: the text stays inside the 2-pixel margins.
  for (int y = 0; y < 32; ++y) {
    EXPECT_EQ(PixelAt(drawn, 0, y), kNormal);
    EXPECT_EQ(PixelAt(drawn, 87, y), kNormal);
  }
}

// A tooltip filled from a cut caption belongs to that caption: once a new
// caption (another language's) fits, the old text is not shown any more.
TEST_F(SkinButtonTest, TooltipFilledFromACutCaptionGoesWhenTheCaptionFits) {
  button_->caption = "Modifier des canaux du calculateur";
  Drawn();
  ASSERT_EQ(button_->ToolTipText(), button_->caption);
  button_->caption = "Kanäle";
  Drawn();
  EXPECT_EQ(button_->ToolTipText(), "");
  button_->caption = "Canali da modificare nel calcolatore";
  Drawn();
  EXPECT_EQ(button_->ToolTipText(), button_->caption);
}

TEST_F(SkinButtonTest, CaptionWithoutTooltipCreatesOneWhenCut) {
  EXPECT_FALSE(button_->HasToolTip());
  button_->caption = "Fits";
  Drawn();
  EXPECT_FALSE(button_->HasToolTip());
  button_->caption = QString(40, 'W');
  Drawn();
  EXPECT_TRUE(button_->HasToolTip());
}

TEST_F(SkinButtonTest, PressedPictureFollowsTheCursorOffAndBack) {
  QSignalSpy clicks(button_, &QPushButton::clicked);
  QTest::mousePress(button_, Qt::LeftButton, {}, Inside());
  EXPECT_EQ(Centre(), kPressed);
  QTest::mouseMove(button_, QPoint(150, 16));
  EXPECT_EQ(Centre(), kNormal) << "dragged off: not pushed";
  QTest::mouseMove(button_, Inside());
  EXPECT_EQ(Centre(), kPressed) << "back on: pushed again";
  QTest::mouseMove(button_, QPoint(150, 16));
  QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(150, 16));
  EXPECT_EQ(clicks.count(), 0) << "released outside: no click";
  EXPECT_FALSE(button_->Down());

  QTest::mousePress(button_, Qt::LeftButton, {}, Inside());
  QTest::mouseRelease(button_, Qt::LeftButton, {}, Inside());
  EXPECT_EQ(clicks.count(), 1);
}

TEST_F(SkinButtonTest, HoverPictureWhileTheMouseIsOver) {
  QTest::mouseMove(&host_, OutsideInHost());
  EXPECT_EQ(Centre(), kNormal);
  QTest::mouseMove(&host_, QPoint(60, 30));
  EXPECT_TRUE(button_->Over());
  EXPECT_EQ(Centre(), kHover);
  QTest::mouseMove(&host_, OutsideInHost());
  EXPECT_FALSE(button_->Over());
  EXPECT_EQ(Centre(), kNormal);
}

// Runs a real message box and, once it shows, lets `user` play the user.
int RunBox(const std::function<void(CDlgTip&)>& user) {
  CDlgTip box;
  box.SetTipInfo("The device is busy.", "Message", 0, 1, CDlgTip::kIconInformation);
  return RunWithUser(box, user);
}

// The mouse to a point of a widget through the cursor: the platform also
// reports the window the mouse enters.
void MoveByCursor(QWidget& widget, QPoint at) { QTest::mouseMove(&widget, at); }
// The mouse to a point of a widget by a move its window gets, with no report
// of entering: a mouse that never crossed the window's edge.
void MoveInsideTheWindow(QWidget& widget, QPoint at) {
  QWidget* top = widget.window();
  QTest::mouseMove(top->windowHandle(), widget.mapTo(top, at));
}

// A modal window blocks the button's window: a blocked window gets no mouse
// events, its leave notice included. Qt sends the button a leave of its own
// on blocking only when it knows the mouse is in that window; it forgets that
// when any modal window opens, and a mouse that stays inside reports no new
// entering. Either way the box up and the mouse gone to it, the button shows
// its normal picture, and hovers again once the mouse really comes back.
TEST_F(SkinButtonTest, ModalWindowOverTheButtonEndsItsHover) {
  const struct {
    const char* how;
    std::function<void()> before;
    void (*move)(QWidget&, QPoint);
  } cases[] = {
      {"the mouse came in through the cursor", [this] { QTest::mouseMove(&host_, OutsideInHost()); },
       MoveByCursor},
      {"an earlier box was answered from the keyboard, the mouse stayed inside",
       [] { RunBox([](CDlgTip& box) { QTest::keyClick(&box, Qt::Key_Escape); }); }, MoveInsideTheWindow},
  };
  const auto shown = [](const QColor& seen) -> std::string {
    return seen == kNormal ? "normal" : seen == kHover ? "hover" : "another picture";
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    c.before();
    c.move(host_, QPoint(60, 30));
    ASSERT_EQ(shown(Centre()), "hover");

    QColor whileUp, onTheBox;
    const int result = RunBox([&](CDlgTip& box) {
      whileUp = Centre();
      CxSkinButton& ok = box.OkButton();
      c.move(ok, ok.rect().center());
      onTheBox = Centre();
      KeepPicture(Drawn(), "button_under_a_box");
      QTest::mouseClick(box.windowHandle(), Qt::LeftButton, {}, ok.mapTo(&box, ok.rect().center()));
    });
    ASSERT_EQ(result, CDlgTip::kOk);
    EXPECT_EQ(shown(whileUp), "normal") << "as the box came up";
    EXPECT_EQ(shown(onTheBox), "normal") << "with the mouse on the box";
    EXPECT_FALSE(button_->Over());
    EXPECT_EQ(shown(Centre()), "normal") << "after the box closed";

    c.move(host_, QPoint(60, 30));
    EXPECT_EQ(shown(Centre()), "hover") << "the mouse back over the button";
    c.move(host_, OutsideInHost());
    EXPECT_EQ(shown(Centre()), "normal");
  }
}

TEST_F(SkinButtonTest, HoverWithoutHoverPictureShowsNormal) {
  button_->SetSkinPictures(QPixmap::fromImage(SolidPicture(88, 32, kNormal)), QPixmap(), QPixmap(), QPixmap());
  QTest::mouseMove(&host_, QPoint(60, 30));
  EXPECT_EQ(Centre(), kNormal);
}

TEST_F(SkinButtonTest, QuickSecondClickIsASecondClick) {
  QSignalSpy clicks(button_, &QPushButton::clicked);
  // As the platform delivers it: down, up, double-click, up.
  QTest::mousePress(button_, Qt::LeftButton, {}, Inside());
  QTest::mouseRelease(button_, Qt::LeftButton, {}, Inside());
  QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(Inside()), button_->mapToGlobal(QPointF(Inside())),
                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(button_, &dbl);
  QTest::mouseRelease(button_, Qt::LeftButton, {}, Inside());
  EXPECT_EQ(clicks.count(), 2);
}

TEST_F(SkinButtonTest, LosingFocusWhilePressedEndsThePress) {
  button_->setFocus();
  QTest::mousePress(button_, Qt::LeftButton, {}, Inside());
  ASSERT_TRUE(button_->Down());
  QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QCoreApplication::sendEvent(button_, &out);
  EXPECT_FALSE(button_->Down());
  EXPECT_FALSE(button_->isDown());
  QTest::mouseRelease(button_, Qt::LeftButton, {}, Inside());
}

TEST_F(SkinButtonTest, TooltipShowsAfterTheMouseRestsSixHundredMilliseconds) {
  button_->SetToolTipText("Search the LAN");
  QTest::mouseMove(&host_, OutsideInHost());
  QToolTip::hideText();
  QElapsedTimer rested;
  rested.start();
  QTest::mouseMove(&host_, QPoint(60, 30));
  EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 5000));
  // Not before the delay (a coarse timer may fire up to 5 % early).
  EXPECT_GE(rested.elapsed(), 570);
  EXPECT_EQ(QToolTip::text(), "Search the LAN");
  QTest::mouseMove(&host_, OutsideInHost());
  EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 5000));
}

TEST_F(SkinButtonTest, WorkerPinsDisablesAndRedrawsThroughTheUiThread) {
  std::thread worker([this] {
    button_->forcedState = 1;
    button_->SetEnabledFromAnyThread(false);
    button_->Redraw();
  });
  worker.join();
  EXPECT_TRUE(QTest::qWaitFor([this] { return !button_->isEnabled(); }, 5000));
  EXPECT_EQ(Centre(), kPressed) << "the pinned picture wins over disabled";
  std::thread back([this] {
    button_->forcedState = 0;
    button_->SetEnabledFromAnyThread(true);
  });
  back.join();
  EXPECT_TRUE(QTest::qWaitFor([this] { return button_->isEnabled(); }, 5000));
  EXPECT_EQ(Centre(), kNormal);
}

TEST_F(SkinButtonTest, ButtonOfAnotherStyleKeepsThePlatformsDrawing) {
  button_->SetOwnerDrawn(false);
  button_->setText("Check");
  const QImage drawn = Drawn();
  EXPECT_NE(drawn, SolidPicture(88, 32, kNormal));
  EXPECT_NE(PixelAt(drawn, 44, 3), kNormal);
  button_->SetToolTipText("still has its tooltip");
  EXPECT_TRUE(button_->HasToolTip());
}

TEST_F(SkinButtonTest, SetSkinLoadsTheNamedPicturesAndTheHandCursor) {
  button_->SetSkin(skins::kButtonNormal, skins::kButtonPressed, skins::kButtonHover, skins::kButtonDisabled, 1, 2,
                   3, 4, 5);
  for (auto which : {CxSkinButton::kNormal, CxSkinButton::kPressed, CxSkinButton::kHover, CxSkinButton::kDisabled})
    EXPECT_EQ(button_->SkinPicture(which).size(), QSize(88, 32));
  EXPECT_EQ(button_->cursor().shape(), Qt::PointingHandCursor);
  button_->SetSkin(9999, 9999, 9999, 9999);
  EXPECT_TRUE(button_->SkinPicture(CxSkinButton::kNormal).isNull());
}

}  // namespace
