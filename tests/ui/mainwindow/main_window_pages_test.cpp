// A search as the real device list page sees it: emptied while it runs,
// refilled when it ends, SEARCH disabled in between; and the periodic timer
// going through the page's search command.
#include <gmock/gmock.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QThread>

#include "core/language/language.h"
#include "tests/ui/mainwindow/main_window_fixture.h"

namespace {

TEST_F(MainWindowTest, TheFirstSearchStartsByItselfAndAFailureLeavesSearchUsable) {
  dlg = std::make_unique<CDivarodDlg>();
  MainDialogInstance = dlg.get();
  dlg->config.programFolder = folder.path() + "/";
  fake.searchResult = 0;
  dlg->show();
  ASSERT_TRUE(WaitUntil([&] { return fake.CountOf("SDK_SearchDevices_v1_v3_MultiEth") == 1; }));
  ASSERT_TRUE(WaitUntil([&] { return !dlg->searching.load(); }));
  QCoreApplication::processEvents();
  ASSERT_EQ(Tips().size(), 1u);
  EXPECT_EQ(Tips()[0].icon, 0x10);
  EXPECT_TRUE(dlg->devInfoPage.searchButton.isEnabled());
  EXPECT_EQ(dlg->devInfoPage.countText.text(), "0");
  EXPECT_EQ(dlg->devInfoPage.deviceList.topLevelItemCount(), 0);
}

TEST_F(MainWindowTest, TheDeviceListEmptiesDuringASearchAndShowsItsResult) {
  ShowWindow();
  fake.searchRecords = {Device("00:00:00:00:00:01", "10.0.0.1")};
  RunSearch();
  ASSERT_EQ(dlg->devInfoPage.deviceList.topLevelItemCount(), 1);

  fake.searchRecords = {Device("00:00:00:00:00:03", "10.0.0.3"), Device("00:00:00:00:00:02", "10.0.0.2"),
                        Device("00:00:00:00:00:04", "10.0.0.4", "C9999")};
  dlg->config.customerCode = "C0001";
  HoldNextSearch();
  QTest::mouseClick(&dlg->devInfoPage.searchButton, Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return holding.load(); }));
  QCoreApplication::processEvents();
  EXPECT_FALSE(dlg->devInfoPage.searchButton.isEnabled());
  EXPECT_EQ(dlg->devInfoPage.deviceList.topLevelItemCount(), 0);
  EXPECT_EQ(dlg->devInfoPage.countText.text(), "0");

  ReleaseSearch();
  ASSERT_TRUE(WaitUntil([&] { return !dlg->searching.load(); }));
  QCoreApplication::processEvents();
  EXPECT_TRUE(dlg->devInfoPage.searchButton.isEnabled());
  ASSERT_EQ(dlg->devInfoPage.deviceList.topLevelItemCount(), 2);  // the other customer's device is dropped
  EXPECT_EQ(dlg->devInfoPage.deviceList.topLevelItem(0)->text(1), "10.0.0.2");
  EXPECT_EQ(dlg->devInfoPage.countText.text(), "2");
  EXPECT_TRUE(Tips().empty());
}

TEST_F(MainWindowTest, WithTheBatchPageInViewTheDeviceListStillRefillsLater) {
  ShowWindow();
  dlg->currentPageIndex = CDivarodDlg::kBatchPageIndex;
  fake.searchRecords = {Device("00:00:00:00:00:01", "10.0.0.1")};
  RunSearch();
  ASSERT_TRUE(WaitUntil([&] { return dlg->devInfoPage.deviceList.topLevelItemCount() == 1; }));
}

TEST_F(MainWindowTest, ATimerTickWhenIdleRunsASearchAndRestartsThePeriod) {
  WriteConfig("[SEARCH_CFG]\r\nPeriodic_Search=1\r\nSel_Time=45\r\n");
  ShowWindow();
  fake.searchRecords = {Device("00:00:00:00:00:01", "10.0.0.1")};
  QThread::msleep(3000);
  const int before = dlg->PeriodicSearchTimerRemainingMs();
  dlg->OnTimer(CDivarodDlg::kPeriodicSearchTimer);
  ASSERT_TRUE(WaitUntil([&] { return fake.CountOf("SDK_SearchDevices_v1_v3_MultiEth") == 1; }));
  ASSERT_TRUE(WaitUntil([&] { return !dlg->searching.load(); }));
  EXPECT_TRUE(dlg->PeriodicSearchTimerActive());
  EXPECT_GT(dlg->PeriodicSearchTimerRemainingMs(), before + 1000);  // restarted by the tick's request
}

TEST_F(MainWindowTest, ATimerTickDuringABatchRunIsSkippedButAUsersSearchIsRefused) {
  ShowWindow();
  dlg->operatePage.upgradeRun.upgradeBusy = 1;
  dlg->OnTimer(CDivarodDlg::kPeriodicSearchTimer);
  QCoreApplication::processEvents();
  EXPECT_TRUE(Tips().empty());
  QTest::mouseClick(&dlg->devInfoPage.searchButton, Qt::LeftButton);
  QCoreApplication::processEvents();
  ASSERT_EQ(Tips().size(), 1u);
  EXPECT_EQ(Tips()[0].text, Text("info.Configuring_wait"));
  EXPECT_EQ(fake.CountOf("SDK_SearchDevices_v1_v3_MultiEth"), 0);
  dlg->operatePage.upgradeRun.upgradeBusy = 0;
}

}  // namespace

namespace {

TEST_F(MainWindowTest, ALanguageChangeReachesThePagesButNotTheTitleBand) {
  const QString shipped = QCoreApplication::applicationDirPath() + "/Config File/Lang";
  for (const QString& name : QDir(shipped).entryList(QDir::Files))
    ASSERT_TRUE(QFile::copy(shipped + "/" + name, folder.path() + "/Config File/Lang/" + name));
  ShowWindow();
  const QString englishSearch = dlg->devInfoPage.searchButton.caption;
  ASSERT_EQ(englishSearch, Text("tx.Search"));
  const QString title = dlg->findChild<QLabel*>("titleText")->text();

  pm::SendPrivateMessage(dlg.get(), pm::WM_LANGUAGE_CHANGED, 7);  // as the settings dialog sends it
  QCoreApplication::processEvents();
  EXPECT_NE(Text("tx.Search"), englishSearch);
  EXPECT_EQ(dlg->devInfoPage.searchButton.caption, Text("tx.Search"));
  EXPECT_EQ(dlg->findChild<QLabel*>("titleText")->text(), title);
  EXPECT_EQ(ReadConfigValue("LANGUAGE_CFG", "Default"), LanguageTable[7].displayName);
  SwitchLanguage(0, folder.path() + "/");
}

}  // namespace

namespace {

// The rows point into the map: they are gone the moment the map is emptied,
// before the UI thread handles anything queued (a click, a sort, a repaint).
TEST_F(MainWindowTest, NoRowOutlivesTheMapItPointsInto) {
  ShowWindow();
  fake.searchRecords = {Device("00:00:00:00:00:01", "10.0.0.1"), Device("00:00:00:00:00:02", "10.0.0.2")};
  RunSearch();
  ASSERT_EQ(dlg->devInfoPage.deviceList.topLevelItemCount(), 2);
  HoldNextSearch();
  dlg->OnRequestSearch(0, 0);
  EXPECT_TRUE(dlg->deviceMap.empty());
  EXPECT_EQ(dlg->devInfoPage.deviceList.topLevelItemCount(), 0);
  ReleaseSearch();
  ASSERT_TRUE(WaitUntil([&] { return !dlg->searching.load(); }));
}

}  // namespace
