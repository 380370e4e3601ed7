// Starting searches: the logout pass, the emptied map, the started notices,
// one search at a time, timer 101 and the settings messages.
#include <gmock/gmock.h>

#include <QCoreApplication>
#include <QThread>

#include "core/language/language.h"
#include "tests/ui/mainwindow/main_window_fixture.h"

namespace {

using ::testing::ElementsAre;

std::vector<std::string> Ops(const std::vector<FakeCall>& calls) {
  std::vector<std::string> out;
  for (const auto& c : calls) out.push_back(c.op == "SdkLogout" ? "SdkLogout " + c.Arg(0) : c.op);
  return out;
}

TEST_F(MainWindowTest, TheRoadOfASearch) {
  ShowWindow();
  RecordSearchNotices();
  DeviceRecord a = Device("00:00:00:00:00:0a", "10.0.0.1");
  a.loggedIn = 1;
  a.loginHandle = 71;
  DeviceRecord b = Device("00:00:00:00:00:0b", "10.0.0.2");
  b.loginHandle = 72;  // a handle without the logged-in flag is not logged out
  DeviceRecord c = Device("00:00:00:00:00:0c", "10.0.0.3");
  c.loggedIn = 1;
  c.loginHandle = 73;
  dlg->deviceMap = {{c.mac, c}, {a.mac, a}, {b.mac, b}};
  dlg->retiredLoginHandles = {90, 91};
  fake.searchRecords = {Device("00:00:00:00:00:01", "10.0.0.9")};
  HoldNextSearch();

  dlg->OnRequestSearch(0, 0);
  // On return the map is empty and both pages have dropped their views of
  // it: no queued event of the UI thread can reach a record that is gone.
  EXPECT_TRUE(dlg->deviceMap.empty());
  EXPECT_TRUE(dlg->retiredLoginHandles.empty());
  EXPECT_TRUE(dlg->searching.load());
  ASSERT_EQ(devicePage->received.size(), 1u);
  ASSERT_EQ(batchPage->received.size(), 1u);
  ASSERT_TRUE(WaitUntil([&] { return holding.load(); }));
  EXPECT_THAT(Ops(fake.Calls()), ElementsAre("SdkLogout 71", "SdkLogout 73", "SdkLogout 90", "SdkLogout 91",
                                             "SDK_SearchDevices_v1_v3_MultiEth"));
  EXPECT_EQ(devicePage->received[0].message, pm::WM_SEARCH_STARTED);
  EXPECT_EQ(devicePage->received[0].mapSize, 0u);
  EXPECT_EQ(batchPage->received[0].message, pm::WM_SEARCH_STARTED);

  ReleaseSearch();
  ASSERT_TRUE(WaitUntil([&] { return !dlg->searching.load() && batchPage->received.size() == 2; }));
  EXPECT_EQ(dlg->deviceMap.size(), 1u);
  EXPECT_EQ(devicePage->received[1].message, pm::WM_SEARCH_FINISHED);
}

TEST_F(MainWindowTest, ARequestDuringASearchIsDropped) {
  ShowWindow();
  RecordSearchNotices();
  fake.searchRecords = {Device("00:00:00:00:00:01", "10.0.0.1")};
  HoldNextSearch();
  dlg->OnRequestSearch(0, 0);
  ASSERT_TRUE(WaitUntil([&] { return holding.load(); }));
  dlg->retiredLoginHandles = {55};

  pm::PostPrivateMessage(dlg.get(), pm::WM_REQUEST_SEARCH);  // e.g. from timer 101
  QCoreApplication::processEvents();
  EXPECT_EQ(fake.CountOf("SdkLogout"), 0);
  EXPECT_THAT(dlg->retiredLoginHandles, ElementsAre(55));

  ReleaseSearch();
  ASSERT_TRUE(WaitUntil([&] { return !dlg->searching.load(); }));
  QThread::msleep(100);
  QCoreApplication::processEvents();
  EXPECT_EQ(fake.CountOf("SDK_SearchDevices_v1_v3_MultiEth"), 1);
  EXPECT_EQ(dlg->deviceMap.size(), 1u);  // the running search's result stands
  EXPECT_EQ(devicePage->received.size(), 2u);
}

TEST_F(MainWindowTest, EveryRequestRestartsThePeriodicSearchTimer) {
  WriteConfig("[SEARCH_CFG]\r\nPeriodic_Search=1\r\nSel_Time=45\r\n");
  ShowWindow();
  ASSERT_TRUE(dlg->PeriodicSearchTimerActive());
  QThread::msleep(1500);
  ASSERT_LT(dlg->PeriodicSearchTimerRemainingMs(), 45 * 60000 - 1400);
  dlg->OnRequestSearch(0, 0);  // the request restarts the period at once
  EXPECT_TRUE(dlg->PeriodicSearchTimerActive());
  EXPECT_GT(dlg->PeriodicSearchTimerRemainingMs(), 45 * 60000 - 1000);
  ASSERT_TRUE(WaitUntil([&] { return !dlg->searching.load(); }));
}

TEST_F(MainWindowTest, WithPeriodicSearchOffNoTimerRuns) {
  WriteConfig("[SEARCH_CFG]\r\nPeriodic_Search=0\r\nSel_Time=45\r\n");
  ShowWindow();
  EXPECT_FALSE(dlg->PeriodicSearchTimerActive());
  RunSearch();
  EXPECT_FALSE(dlg->PeriodicSearchTimerActive());
}

TEST_F(MainWindowTest, ATimerTickWhileThePageIsBusyIsSkippedSilently) {
  ShowWindow();
  dlg->devInfoPage.networkChangeRunning = 1;
  dlg->OnTimer(CDivarodDlg::kPeriodicSearchTimer);
  QCoreApplication::processEvents();
  EXPECT_EQ(dlg->devInfoPage.searchFromTimer, 0);  // the mark covers exactly this one request
  EXPECT_TRUE(Tips().empty());
  EXPECT_EQ(fake.CountOf("SDK_SearchDevices_v1_v3_MultiEth"), 0);
  dlg->devInfoPage.networkChangeRunning = 0;
}

TEST_F(MainWindowTest, StartUpWritesTheStoredLanguageBack) {
  WriteConfig("[LANGUAGE_CFG]\r\nDefault=\r\n");
  ShowWindow();
  EXPECT_EQ(ReadConfigValue("LANGUAGE_CFG", "Default"), "English");
}

TEST_F(MainWindowTest, ALanguageChangeWritesTheNewDisplayName) {
  ShowWindow();
  EXPECT_EQ(dlg->OnLanguageChanged(7, 0), 1);
  EXPECT_EQ(dlg->config.languageIndex, 7);
  EXPECT_EQ(ReadConfigValue("LANGUAGE_CFG", "Default"), LanguageTable[7].displayName);
}

TEST_F(MainWindowTest, AColumnMaskChangeIsStoredInDecimal) {
  ShowWindow();
  EXPECT_EQ(dlg->OnDevInfoMaskChanged(0x2007, 0), 1);
  EXPECT_EQ(dlg->config.columnMask, 0x2007);
  EXPECT_EQ(ReadConfigValue("DEVINFO_CFG", "Dev_Info"), "8199");
}

TEST_F(MainWindowTest, SearchSettingsRestartOrStopTheTimerAndAreStored) {
  ShowWindow();
  SearchSettingsPayload on{1, 60};
  EXPECT_EQ(dlg->OnSearchSettingsChanged(reinterpret_cast<pm::WPARAM>(&on), 0), 1);
  EXPECT_TRUE(dlg->PeriodicSearchTimerActive());
  EXPECT_GT(dlg->PeriodicSearchTimerRemainingMs(), 60 * 60000 - 1000);
  EXPECT_EQ(ReadConfigValue("SEARCH_CFG", "Periodic_Search"), "1");
  EXPECT_EQ(ReadConfigValue("SEARCH_CFG", "Sel_Time"), "60");

  SearchSettingsPayload off{0, 90};
  pm::SendPrivateMessage(dlg.get(), pm::WM_SEARCH_SETTINGS_CHANGED, reinterpret_cast<pm::WPARAM>(&off));
  EXPECT_FALSE(dlg->PeriodicSearchTimerActive());
  EXPECT_EQ(ReadConfigValue("SEARCH_CFG", "Periodic_Search"), "0");
  EXPECT_EQ(ReadConfigValue("SEARCH_CFG", "Sel_Time"), "90");
}

}  // namespace
