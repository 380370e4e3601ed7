#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <functional>
#include <thread>

#include "core/language/language.h"
#include "tests/ui/controls/real_message_box.h"
#include "tests/ui/controls/render_support.h"
#include "ui/controls/dlg_tip.h"
#include "ui/framework/colours.h"
#include "ui/framework/modal_seam.h"

namespace {

void ClickCentre(QWidget& w) { QTest::mouseClick(&w, Qt::LeftButton, {}, w.rect().center()); }

class TipTest : public ::testing::Test {
 protected:
  void SetUp() override { modal::SetAnswerer({}); }
  void TearDown() override { modal::SetAnswerer({}); }
};

TEST_F(TipTest, OneButtonBoxStandsItsOkAtTheRightAndEndsWithTwoOnEscAndClose) {
  const struct {
    const char* what;
    std::function<void(CDlgTip&)> act;
    int expected;
  } cases[] = {
      {"OK", [](CDlgTip& t) { ClickCentre(t.OkButton()); }, 1},
      {"Enter", [](CDlgTip& t) { QTest::keyClick(&t, Qt::Key_Return); }, 1},
      {"Esc", [](CDlgTip& t) { QTest::keyClick(&t, Qt::Key_Escape); }, 2},
      {"close", [](CDlgTip& t) { ClickCentre(t.CloseButton()); }, 2},
  };
  for (const auto& c : cases) {
    CDlgTip tip;
    tip.SetTipInfo("The device is busy.", "Message", 0, 1, CDlgTip::kIconInformation);
    QRect okPlace, cancelPlace;
    bool cancelVisible = true;
    const int result = RunWithUser(tip, [&](CDlgTip& t) {
      okPlace = t.OkButton().geometry();
      cancelPlace = t.CancelButton().geometry();
      cancelVisible = t.CancelButton().isVisible();
      c.act(t);
    });
    EXPECT_EQ(result, c.expected) << c.what;
    EXPECT_FALSE(cancelVisible) << c.what;
    EXPECT_EQ(okPlace, cancelPlace) << "OK takes Cancel's place";
  }
}

TEST_F(TipTest, QuestionShowsOkLeftOfCancel) {
  const struct {
    const char* what;
    std::function<void(CDlgTip&)> act;
    int expected;
  } cases[] = {
      {"Enter", [](CDlgTip& t) { QTest::keyClick(&t, Qt::Key_Enter); }, 1},
      {"OK", [](CDlgTip& t) { ClickCentre(t.OkButton()); }, 1},
      {"Cancel", [](CDlgTip& t) { ClickCentre(t.CancelButton()); }, 2},
  };
  for (const auto& c : cases) {
    CDlgTip tip;
    tip.SetTipInfo("Reboot the checked devices?", "Message", 1, 1, CDlgTip::kIconQuestion);
    bool bothVisible = false;
    QRect ok, cancel;
    const int result = RunWithUser(tip, [&](CDlgTip& t) {
      bothVisible = t.OkButton().isVisible() && t.CancelButton().isVisible();
      ok = t.OkButton().geometry();
      cancel = t.CancelButton().geometry();
      c.act(t);
    });
    EXPECT_EQ(result, c.expected) << c.what;
    EXPECT_TRUE(bothVisible);
    EXPECT_LT(ok.right(), cancel.left());
    EXPECT_EQ(ok.top(), cancel.top());
  }
}

TEST_F(TipTest, PaintsDarkBandWhiteBodyAndLightButtonBand) {
  CDlgTip tip;
  tip.SetTipInfo("Searching, please wait.", "Message", 1, 1, CDlgTip::kIconWarning);
  tip.OnInitDialog();
  tip.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&tip));
  const QImage img = Grab(tip.Client());
  KeepPicture(Grab(tip), "tip_question");
  const int h = img.height();
  const QColor band = colours::FromColorRef(colours::kBand);
  const QColor panel = colours::FromColorRef(colours::kPanel);
  EXPECT_EQ(PixelAt(img, 150, 0), band);
  EXPECT_EQ(PixelAt(img, 150, 39), band);
  EXPECT_EQ(PixelAt(img, 150, 40), QColor(Qt::white));
  EXPECT_EQ(PixelAt(img, 2, h - 41), QColor(Qt::white));
  EXPECT_EQ(PixelAt(img, 2, h - 40), panel);
  EXPECT_EQ(PixelAt(img, 2, h - 1), panel);
  // The buttons stand in the light band, the title and close in the dark one.
  EXPECT_GE(tip.OkButton().geometry().top(), h - 40);
  EXPECT_EQ(tip.TitleLabel().geometry(), QRect(10, 10, 100, 20));
  EXPECT_EQ(tip.CloseButton().geometry(), QRect(img.width() - 24, 6, 20, 20));
  // White title text on the band.
  int whiteInTitle = 0;
  for (int x = 10; x < 60; ++x)
    for (int y = 10; y < 30; ++y) whiteInTitle += QColor(img.pixel(x, y)).lightness() > 200;
  EXPECT_GT(whiteInTitle, 10);
}

TEST_F(TipTest, EveryIconKindShowsAPictureAndOtherKindsNone) {
  for (int kind : {0x10, 0x20, 0x30, 0x40, 0x00, 0x50}) {
    CDlgTip tip;
    tip.SetTipInfo("x", "Message", 0, 1, kind);
    tip.OnInitDialog();
    const bool known = kind >= 0x10 && kind <= 0x40;
    EXPECT_EQ(!tip.IconLabel().pixmap().isNull(), known) << kind;
  }
  CDlgTip hidden;
  hidden.SetTipInfo("x", "Message", 0, 0, 0x10);
  hidden.OnInitDialog();
  EXPECT_TRUE(hidden.IconLabel().pixmap().isNull());
}

TEST_F(TipTest, LongTextMakesTheBoxTallerInsteadOfBeingCut) {
  CDlgTip shortTip, longTip;
  shortTip.SetTipInfo("Done.", "Message", 0, 1, 0x40);
  QString many;
  for (int i = 0; i < 30; ++i) many += "The operation could not be completed. ";
  longTip.SetTipInfo(many, "Message", 0, 1, 0x40);
  shortTip.OnInitDialog();
  longTip.OnInitDialog();
  EXPECT_GT(longTip.height(), shortTip.height());
  QLabel& text = longTip.TextLabel();
  EXPECT_GE(text.height(), text.heightForWidth(text.width()));
  EXPECT_LE(text.geometry().bottom(), longTip.OkButton().geometry().top());
  longTip.show();
  KeepPicture(Grab(longTip), "tip_long_text");
}

TEST_F(TipTest, PressInTheTopBandMovesTheBoxAndLowerDoesNot) {
  CDlgTip tip;
  tip.SetTipInfo("Move me.", "Message", 0, 1, 0x40);
  tip.OnInitDialog();
  tip.move(100, 100);
  tip.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&tip));
  QWidget& client = tip.Client();
  const QPoint start = tip.pos();
  const QPoint grab = client.mapToGlobal(QPoint(150, 20));
  QTest::mousePress(&client, Qt::LeftButton, {}, QPoint(150, 20));
  QTest::mouseMove(&client, client.mapFromGlobal(grab + QPoint(20, 15)));
  QTest::mouseMove(&client, client.mapFromGlobal(grab + QPoint(40, 30)));
  QTest::mouseRelease(&client, Qt::LeftButton, {}, client.mapFromGlobal(grab + QPoint(40, 30)));
  EXPECT_EQ(tip.pos(), start + QPoint(40, 30));

  const QPoint moved = tip.pos();
  QTest::mousePress(&client, Qt::LeftButton, {}, QPoint(150, 45));
  QTest::mouseMove(&client, QPoint(190, 80));
  QTest::mouseRelease(&client, Qt::LeftButton, {}, QPoint(190, 80));
  EXPECT_EQ(tip.pos(), moved);
}

TEST_F(TipTest, SeamSeesTheBoxAndAnswersInTheUsersPlace) {
  std::vector<modal::ModalRequest> seen;
  modal::SetAnswerer([&](const modal::ModalRequest& r) {
    seen.push_back(r);
    return 2;
  });
  CDlgTip tip;
  tip.SetTipInfo("Exit?", "Message", 1, 1, 0x20);
  EXPECT_EQ(tip.DoModal(), 2);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].kind, "tip");
  EXPECT_EQ(seen[0].title, "Message");
  EXPECT_EQ(seen[0].text, "Exit?");
  EXPECT_EQ(seen[0].icon, 0x20);
  EXPECT_EQ(seen[0].dialog, &tip);
}

class TipLanguageTest : public TipTest {
 protected:
  void SetUp() override {
    TipTest::SetUp();
    ASSERT_TRUE(dir_.isValid());
  }
  void TearDown() override {
    GetThreadLanguage()->LoadFile(QString(), 1);
    TipTest::TearDown();
  }
  void Load(const QByteArray& body) {
    const QString path = dir_.path() + QString("/t%1.lang").arg(++n_);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[String]\n" + body);
    f.close();
    ASSERT_TRUE(GetThreadLanguage()->LoadFile(path, 1));
  }
  QTemporaryDir dir_;
  int n_ = 0;
};

TEST_F(TipLanguageTest, CaptionsAreLookedUpEachTimeABoxOpens) {
  Load("tx.OK=OK\ntx.Cancel=Cancel\n");
  CDlgTip first;
  first.SetTipInfo("a", "b", 1, 1, 0x20);
  first.OnInitDialog();
  EXPECT_EQ(first.OkButton().caption, "OK");
  EXPECT_EQ(first.CancelButton().caption, "Cancel");

  Load("tx.OK=Va bene\ntx.Cancel=Annulla\n");
  CDlgTip second;
  second.SetTipInfo("a", "b", 1, 1, 0x20);
  second.OnInitDialog();
  EXPECT_EQ(second.OkButton().caption, "Va bene");
  EXPECT_EQ(second.CancelButton().caption, "Annulla");
}

TEST_F(TipLanguageTest, WorkerThreadBoxRunsOnTheUiThreadAndWaits) {
  Load("tx.OK=OK\ntx.Cancel=Cancel\n");
  std::atomic<bool> answeredOnUiThread{false};
  QString okCaption;
  modal::SetAnswerer([&](const modal::ModalRequest& r) {
    answeredOnUiThread = QThread::currentThread() == qApp->thread();
    okCaption = static_cast<CDlgTip*>(r.dialog)->OkButton().caption;
    return 1;
  });
  std::atomic<int> result{0};
  std::thread worker([&] { result = ShowTipBox("Search failed (0)", "Message", false, true, 0x10); });
  EXPECT_TRUE(QTest::qWaitFor([&] { return result.load() != 0; }, 5000));
  worker.join();
  EXPECT_EQ(result.load(), 1);
  EXPECT_TRUE(answeredOnUiThread);
  EXPECT_EQ(okCaption, "OK");
}

TEST_F(TipTest, RealBoxFromAWorkerIsClickedOnTheUiThread) {
  std::atomic<int> result{0};
  bool workerWaited = false;
  // The box runs its own loop on the UI thread; the user is a timer there.
  QTimer user;
  user.setInterval(10);
  QObject::connect(&user, &QTimer::timeout, [&] {
    auto* shown = qobject_cast<CDlgTip*>(QApplication::activeModalWidget());
    if (!shown || !shown->isVisible()) return;
    user.stop();
    workerWaited = result.load() == 0;
    ClickCentre(shown->CancelButton());
  });
  user.start();
  std::thread worker([&] { result = ShowTipBox("Upgrade finished.", "Message", true, true, 0x40); });
  EXPECT_TRUE(QTest::qWaitFor([&] { return result.load() != 0; }, 5000));
  worker.join();
  EXPECT_TRUE(workerWaited) << "the worker waits while the box shows";
  EXPECT_EQ(result.load(), 2);
}

}  // namespace
