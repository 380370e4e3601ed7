// The calculator as the program hosts it: a main window over a copy of the
// shipped program folder, its left menu showing the page, the editor reading
// the shipped Encode.ini, and a language change reaching page and editor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <functional>

#include "tests/support/fake_device_library.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/divarod_dlg.h"

namespace {

bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < timeoutMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

class CapacityInMainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    std::filesystem::copy((QCoreApplication::applicationDirPath() + "/Config File").toStdString(),
                          (folder.path() + "/Config File").toStdString(), std::filesystem::copy_options::recursive);
    modal::SetAnswerer([](const modal::ModalRequest&) { return 1; });
    main = std::make_unique<CDivarodDlg>();
    main->config.programFolder = folder.path() + "/";
    MainDialogInstance = main.get();
    main->show();
    ASSERT_TRUE(WaitFor([this] { return !main->searching.load(); }));
  }

  void TearDown() override {
    main.reset();
    MainDialogInstance = nullptr;
    modal::SetAnswerer({});
  }

  QTemporaryDir folder;
  ScopedFakeDeviceLibrary library;
  std::unique_ptr<CDivarodDlg> main;
};

TEST_F(CapacityInMainWindow, MenuShowsThePageAndTheEditorListsTheShippedResolutions) {
  CDlgCapacityCalculator& page = main->capacityPage;
  EXPECT_FALSE(page.isVisible());
  QTest::mouseClick(&main->menuPage.capacityButton, Qt::LeftButton);
  EXPECT_TRUE(page.isVisible());
  EXPECT_FALSE(main->devInfoPage.isVisible());
  EXPECT_EQ(page.geometry(), main->ClientRect().adjusted(60, 60, 0, 0));

  QTest::mouseClick(&page.addButton, Qt::LeftButton);
  CDlgCapacityChannelInfo& editor = page.channelEditor;
  ASSERT_TRUE(editor.isVisible());
  EXPECT_FALSE(main->isEnabled());
  EXPECT_EQ(editor.resolutionCombo.count(), 30);
  EXPECT_EQ(editor.resolutionCombo.itemText(0), "D1(704x576)");
  EXPECT_EQ(editor.resolutionCombo.currentText(), "8M(3264x2448)");
  EXPECT_EQ(editor.bitRateCombo.currentText(), "16384");
  EXPECT_EQ(editor.titleLabel.text(), "Add channels");

  QTest::mouseClick(&editor.okButton, Qt::LeftButton);
  EXPECT_EQ(page.RowCount(), 1);
  QTest::keyClick(&editor.channelsEdit, Qt::Key_Escape);
  EXPECT_FALSE(editor.isVisible());
  EXPECT_TRUE(main->isEnabled());
}

TEST_F(CapacityInMainWindow, LanguageChangeReachesPageAndEditor) {
  CDlgCapacityCalculator& page = main->capacityPage;
  pm::SendPrivateMessage(main.get(), pm::WM_LANGUAGE_CHANGED, 8, 0);  // Deutsch
  ASSERT_TRUE(WaitFor([&] { return page.channelEditor.channelsLabel.text() == "Kanäle"; }));
  EXPECT_EQ(page.addButton.caption, "Kanäle hinzufügen");
  EXPECT_EQ(page.recordDaysResult.text(), "0 Tage");
  EXPECT_EQ(page.channelEditor.okButton.caption, "Kanäle hinzufügen");
}

}  // namespace
