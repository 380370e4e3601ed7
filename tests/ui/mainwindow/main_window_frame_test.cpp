// The frame: start-up, the title band, Quit, MAX and the key filter.
#include <gmock/gmock.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <functional>
#include <string>
#include <thread>

#include "core/language/language.h"
#include "tests/ui/mainwindow/main_window_fixture.h"
#include "ui/controls/dlg_tip.h"

namespace {

TEST_F(MainWindowTest, TheLibraryStartsUpBeforeAnyOtherCall) {
  dlg = std::make_unique<CDivarodDlg>();
  MainDialogInstance = dlg.get();
  dlg->config.programFolder = folder.path() + "/";
  dlg->show();
  ASSERT_TRUE(WaitUntil([&] { return !dlg->searching.load(); }));
  const auto calls = fake.Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].op, "SdkStartup");
  EXPECT_THAT(calls[0].args, ::testing::ElementsAre("0", "ptr"));
  EXPECT_EQ(fake.CountOf("SdkStartup"), 1);
}

TEST_F(MainWindowTest, StartsCentredAt1090By700WithMenuAndDeviceList) {
  ShowWindow();
  EXPECT_EQ(dlg->size(), QSize(1090, 700));
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LE(std::abs(dlg->frameGeometry().center().x() - screen.center().x()), 1);
  EXPECT_LE(std::abs(dlg->frameGeometry().center().y() - screen.center().y()), 1);
  EXPECT_EQ(dlg->windowTitle(), "Divarod Test");
  EXPECT_TRUE(dlg->menuPage.isVisible());
  EXPECT_TRUE(dlg->devInfoPage.isVisible());
  EXPECT_FALSE(dlg->operatePage.isVisible());
  EXPECT_FALSE(dlg->capacityPage.isVisible());
  EXPECT_FALSE(dlg->settingDialog.isVisible());
  EXPECT_EQ(dlg->currentPageIndex.load(), 0);
  EXPECT_EQ(dlg->currentPage, &dlg->devInfoPage);
  for (QWidget* page : std::initializer_list<QWidget*>{&dlg->menuPage, &dlg->devInfoPage, &dlg->operatePage,
                                                       &dlg->capacityPage})
    EXPECT_EQ(page->parentWidget(), dlg.get());
}

struct HelpCase {
  const char* value;
  bool shown;
};
void PrintTo(const HelpCase& c, std::ostream* os) { *os << "'" << c.value << "'"; }
class HelpButton : public MainWindowTest, public ::testing::WithParamInterface<HelpCase> {};

TEST_P(HelpButton, FollowsShowHelp) {
  WriteConfig(QByteArray("[HELP_CFG]\r\nShow_Help=") + GetParam().value + "\r\n");
  ShowWindow();
  auto* help = dlg->findChild<QWidget*>("helpButton");
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->isVisible(), GetParam().shown);
  EXPECT_TRUE(dlg->findChild<QWidget*>("quitButton")->isVisible());
}
INSTANTIATE_TEST_SUITE_P(Values, HelpButton,
                         ::testing::Values(HelpCase{"1", true}, HelpCase{"0", false}, HelpCase{"1 ", true},
                                           HelpCase{"", false}));

TEST_F(MainWindowTest, TitleBandPlacesItsControlsByTheOuterWidth) {
  QImage logo(120, 40, QImage::Format_ARGB32);
  logo.fill(Qt::white);
  ASSERT_TRUE(logo.save(folder.path() + "/Config File/Skin/Pagelogo.png"));
  ShowWindow();
  EXPECT_EQ(dlg->findChild<QWidget*>("quitButton")->geometry(), QRect(1090 - 24, 6, 20, 20));
  EXPECT_EQ(dlg->findChild<QWidget*>("maxButton")->geometry(), QRect(1090 - 46, 6, 20, 20));
  EXPECT_EQ(dlg->findChild<QWidget*>("minButton")->geometry(), QRect(1090 - 68, 6, 20, 20));
  EXPECT_EQ(dlg->findChild<QWidget*>("helpButton")->geometry(), QRect(1090 - 92, 6, 20, 20));
  EXPECT_EQ(dlg->findChild<QWidget*>("logoPicture")->geometry(), QRect(10, 10, 120, 40));
  EXPECT_EQ(dlg->findChild<QWidget*>("titleText")->geometry(), QRect(140, 20, 300, 20));
}

TEST_F(MainWindowTest, QuitDuringASearchIsRefused) {
  ShowWindow();
  HoldNextSearch();
  dlg->OnRequestSearch(0, 0);
  ASSERT_TRUE(WaitUntil([&] { return holding.load(); }));
  dlg->OnQuit();
  ASSERT_EQ(Tips().size(), 1u);
  EXPECT_EQ(Tips()[0].text, Text("info.Searching_wait"));
  EXPECT_EQ(Tips()[0].title, Text("msg.Msg"));
  EXPECT_EQ(Tips()[0].icon, 0x40);
  EXPECT_TRUE(dlg->isVisible());
  ReleaseSearch();
  ASSERT_TRUE(WaitUntil([&] { return !dlg->searching.load(); }));
}

class QuitWhileBusy : public MainWindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(QuitWhileBusy, IsRefusedWithConfiguringWait) {
  ShowWindow();
  CDlgOperate& op = dlg->operatePage;
  const std::function<void(uint8_t)> flags[] = {
      [&](uint8_t v) { op.rebootBusy = v; },   [&](uint8_t v) { op.defaultsBusy = v; },
      [&](uint8_t v) { op.passwordBusy = v; }, [&](uint8_t v) { op.portsBusy = v; },
      [&](uint8_t v) { op.upgradeRun.upgradeBusy = v; },  [&](uint8_t v) { op.importRun.importBusy = v; },
      [&](uint8_t v) { dlg->devInfoPage.networkChangeRunning = v; }};
  flags[GetParam()](1);
  dlg->OnQuit();
  ASSERT_EQ(Tips().size(), 1u);
  EXPECT_EQ(Tips()[0].text, Text("info.Configuring_wait"));
  EXPECT_EQ(Tips()[0].icon, 0x40);
  EXPECT_TRUE(dlg->isVisible());
  flags[GetParam()](0);
}
INSTANTIATE_TEST_SUITE_P(EachFlag, QuitWhileBusy, ::testing::Range(0, 7));

TEST_F(MainWindowTest, ADeviceCommandAloneDoesNotHoldQuit) {
  ShowWindow();
  dlg->devInfoPage.deviceCommandRunning = 1;
  answer = [](const modal::ModalRequest&) { return 2; };
  dlg->OnQuit();
  ASSERT_EQ(Tips().size(), 1u);
  EXPECT_EQ(Tips()[0].text, Text("msg.Exit"));
  dlg->devInfoPage.deviceCommandRunning = 0;
}

TEST_F(MainWindowTest, QuitAsksAndClosesOnlyOnOk) {
  ShowWindow();
  answer = [](const modal::ModalRequest&) { return 2; };
  dlg->OnQuit();
  ASSERT_EQ(Tips().size(), 1u);
  EXPECT_EQ(Tips()[0].text, Text("msg.Exit"));
  EXPECT_EQ(Tips()[0].icon, 0x20);
  EXPECT_TRUE(dlg->isVisible());

  answer = [](const modal::ModalRequest&) { return 1; };
  QTest::mouseClick(dlg->findChild<QWidget*>("quitButton"), Qt::LeftButton);
  EXPECT_EQ(Tips().size(), 2u);
  EXPECT_FALSE(dlg->isVisible());
}

// Quit's question answered from the keyboard leaves the mouse resting on
// Quit; a failed search's notice then comes up over the window and the mouse
// goes to it. The window is blocked meanwhile and gets no mouse events, so
// Quit must drop its red hover picture itself, and show it again only when
// the mouse really comes back.
TEST_F(MainWindowTest, QuitDropsItsHoverPictureWhileANoticeIsUp) {
  ShowWindow();
  std::function<void(CDlgTip&)> user;
  answer = [&](const modal::ModalRequest& r) {
    auto* box = qobject_cast<CDlgTip*>(r.dialog);
    if (!box) return r.defaultResult;
    QTimer::singleShot(0, box, [&, box] {
      if (!QTest::qWaitForWindowExposed(box)) {
        box->done(-1);
        return;
      }
      user(*box);
    });
    return box->exec();
  };
  auto* quit = dlg->findChild<CxSkinButton*>("quitButton");
  ASSERT_NE(quit, nullptr);
  QWindow* window = dlg->windowHandle();
  const QPoint onQuit = quit->geometry().center();
  const QPoint away(dlg->width() / 2, dlg->height() / 2);
  const auto look = [&] { return dlg->grab(quit->geometry()).toImage(); };

  // The mouse never crosses the window's edge: the window gets moves only.
  QTest::mouseMove(window, away);
  const QImage normal = look();
  QTest::mouseMove(window, onQuit);
  const QImage hover = look();
  ASSERT_NE(hover, normal);
  const auto shown = [&](const QImage& seen) -> std::string {
    return seen == normal ? "normal" : seen == hover ? "hover" : "another picture";
  };

  user = [](CDlgTip& box) { QTest::keyClick(&box, Qt::Key_Escape); };
  QTest::mouseClick(window, Qt::LeftButton, {}, onQuit);
  ASSERT_EQ(Tips().size(), 1u);
  ASSERT_TRUE(dlg->isVisible()) << "the question was answered Cancel";
  EXPECT_EQ(shown(look()), "normal") << "pressed: no hover";
  QTest::mouseMove(window, onQuit + QPoint(1, 1));
  ASSERT_EQ(shown(look()), "hover");

  QImage whileUp, onTheBox;
  user = [&](CDlgTip& box) {
    whileUp = look();
    CxSkinButton& ok = box.OkButton();
    const QPoint okInBox = ok.mapTo(&box, ok.rect().center());
    QTest::mouseMove(box.windowHandle(), okInBox);
    onTheBox = look();
    QTest::mouseClick(box.windowHandle(), Qt::LeftButton, {}, okInBox);
  };
  fake.onSearch = [](uint8_t*, int, int* count, int, int) {
    *count = 0;
    return 0;
  };
  RunSearch();
  ASSERT_EQ(Tips().size(), 2u);
  EXPECT_EQ(Tips()[1].icon, CDlgTip::kIconError);
  EXPECT_EQ(shown(whileUp), "normal") << "as the notice came up";
  EXPECT_EQ(shown(onTheBox), "normal") << "with the mouse on the notice";
  EXPECT_EQ(shown(look()), "normal") << "after the notice closed";

  QTest::mouseMove(window, onQuit);
  EXPECT_EQ(shown(look()), "hover") << "the mouse back on Quit";
  QTest::mouseMove(window, away);
  EXPECT_EQ(shown(look()), "normal");
}

TEST_F(MainWindowTest, MaximiseCoversTheWorkAreaAndRestoreReturnsToTheFormerClientArea) {
  ShowWindow();
  const QRect before = dlg->geometry();
  QCursor::setPos(before.center());
  dlg->OnMaximize();
  const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(dlg->maximized);
  EXPECT_EQ(dlg->geometry(), work);
  EXPECT_EQ(dlg->findChild<QWidget*>("quitButton")->geometry().x(), work.width() - 24);
  // The pages follow on the posted notice.
  QCoreApplication::processEvents();
  EXPECT_EQ(dlg->operatePage.geometry().bottomRight(), dlg->ClientRect().bottomRight());

  dlg->OnMaximize();
  EXPECT_FALSE(dlg->maximized);
  EXPECT_EQ(dlg->geometry(), before.adjusted(1, 1, -1, -1));
  EXPECT_EQ(dlg->findChild<QWidget*>("quitButton")->geometry().x(), before.width() - 2 - 24);
}

// y in client coordinates: the border is one pixel.
QPoint ClientPoint(int x, int y) { return QPoint(x + CDivarodDlg::kBorder, y + CDivarodDlg::kBorder); }

TEST_F(MainWindowTest, APressInTheTopSixtyPixelsDragsTheWindow) {
  ShowWindow();
  const QPoint start = dlg->pos();
  QTest::mousePress(dlg.get(), Qt::LeftButton, {}, ClientPoint(500, 60));
  QTest::mouseMove(dlg.get(), ClientPoint(530, 80));
  QTest::mouseRelease(dlg.get(), Qt::LeftButton, {}, ClientPoint(530, 80));
  EXPECT_EQ(dlg->pos(), start + QPoint(30, 20));
}

TEST_F(MainWindowTest, APressBelowTheBandDoesNotDrag) {
  ShowWindow();
  const QPoint start = dlg->pos();
  QTest::mousePress(dlg.get(), Qt::LeftButton, {}, ClientPoint(500, 61));
  QTest::mouseMove(dlg.get(), ClientPoint(530, 81));
  QTest::mouseRelease(dlg.get(), Qt::LeftButton, {}, ClientPoint(530, 81));
  EXPECT_EQ(dlg->pos(), start);
}

TEST_F(MainWindowTest, ADoubleClickInTheBandTogglesMaximise) {
  ShowWindow();
  QTest::mouseDClick(dlg.get(), Qt::LeftButton, {}, ClientPoint(500, 61));
  EXPECT_FALSE(dlg->maximized);
  QTest::mouseDClick(dlg.get(), Qt::LeftButton, {}, ClientPoint(500, 60));
  EXPECT_TRUE(dlg->maximized);
  QTest::mouseDClick(dlg.get(), Qt::LeftButton, {}, ClientPoint(500, 10));
  EXPECT_FALSE(dlg->maximized);
}

TEST_F(MainWindowTest, EnterAndEscDoNotCloseTheWindow) {
  ShowWindow();
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    QTest::keyClick(dlg.get(), key);
    QTest::keyClick(&dlg->devInfoPage, key);
  }
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_EQ(dlg->result(), 0);
}

}  // namespace

namespace {

// The window as a user sees it after a search; saved to
// $DIVAROD_SCREENSHOT_DIR/main-window.png when that is set.
TEST_F(MainWindowTest, AfterASearchTheWindowPaintsItsDarkTitleBand) {
  ShowWindow();
  fake.searchRecords = {Device("00:1c:27:a0:00:01", "192.168.1.21"), Device("00:1c:27:a0:00:02", "192.168.1.22")};
  RunSearch();
  QCoreApplication::processEvents();
  const QImage shot = dlg->grab().toImage();
  ASSERT_EQ(shot.size(), QSize(1090, 700));
  EXPECT_EQ(shot.pixelColor(600, 30), QColor(0x31, 0x31, 0x31));
  const QByteArray dir = qgetenv("DIVAROD_SCREENSHOT_DIR");
  if (!dir.isEmpty()) {
    EXPECT_TRUE(shot.save(QString::fromLocal8Bit(dir) + "/main-window.png"));
  }
}

}  // namespace

namespace {

// The platform's close command is not refused during a search, but the modal
// run ends only after the worker: the program never exits under it.
TEST_F(MainWindowTest, ClosingDuringASearchWaitsForTheWorker) {
  ShowWindow();
  HoldNextSearch();
  dlg->OnRequestSearch(0, 0);
  ASSERT_TRUE(WaitUntil([&] { return holding.load(); }));
  std::thread releaser([this] {
    QThread::msleep(300);
    ReleaseSearch();
  });
  dlg->close();
  EXPECT_FALSE(dlg->searching.load());
  EXPECT_FALSE(dlg->isVisible());
  releaser.join();
}

}  // namespace
