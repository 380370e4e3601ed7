// The device list page as the user meets it: filling, sorting, FIND/ALL,
// column masks, the busy rules of the search command, the QR picture, the
// web page and the clipboard.
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMimeData>
#include <QUrl>

#include "tests/ui/devinfo/device_page_fixture.h"
#include "tests/ui/support/ink_span.h"

namespace devlist_test {
namespace {

std::vector<DeviceRecord> ThreeDevices() {
  DeviceRecord a = MakeDevice("00:00:00:00:00:0a", "10.0.0.10");
  DeviceRecord b = MakeDevice("00:00:00:00:00:0b", "10.0.0.9");
  DeviceRecord c = MakeDevice("00:00:00:00:00:0c", "192.168.1.5");
  a.tcpPort = 9000;
  b.tcpPort = 34567;
  c.tcpPort = 5000;
  a.cloudId = "CLOUD-A";
  b.cloudId = "-- --";
  c.kind = 1;
  c.onvifCapable = 0;
  c.onvifPort = 0;
  c.httpPort = 8080;
  return {c, a, b};  // map order (MAC) is a, b, c whatever the order found
}

using DevicePage = DevicePageTest;

TEST_F(DevicePage, FillsInMacOrderWithNumbersAndTheCount) {
  FinishSearch(ThreeDevices());
  EXPECT_EQ(Column(kColNo), QStringList({"1", "2", "3"}));
  EXPECT_EQ(Column(kColMac), QStringList({"00:00:00:00:00:0a", "00:00:00:00:00:0b", "00:00:00:00:00:0c"}));
  EXPECT_EQ(Column(kColOnvifPort), QStringList({"80", "80", "--"}));
  EXPECT_EQ(Column(kColLoginState), QStringList({"tx.unLogin", "tx.unLogin", "tx.unLogin"}));
  EXPECT_EQ(page->countText.text(), "3");
  EXPECT_TRUE(page->searchButton.isEnabled());
  EXPECT_EQ(page->searchButton.forcedState.load(), 1);
  for (int row = 0; row < 3; ++row) EXPECT_EQ(page->RecordAt(row)->mac, page->CellText(row, kColMac).toStdString());
}

TEST_F(DevicePage, SearchStartedEmptiesTheListAndDisablesSearch) {
  FinishSearch(ThreeDevices());
  pm::SendPrivateMessage(page, pm::WM_SEARCH_STARTED);
  EXPECT_EQ(page->RowCount(), 0);
  EXPECT_EQ(page->countText.text(), "0");
  EXPECT_FALSE(page->searchButton.isEnabled());
  EXPECT_EQ(page->searchButton.forcedState.load(), 3);
}

TEST_F(DevicePage, FailedSearchLeavesTheListEmptyAndSearchEnabled) {
  pm::SendPrivateMessage(page, pm::WM_SEARCH_STARTED);
  FinishSearch({});
  EXPECT_EQ(page->RowCount(), 0);
  EXPECT_EQ(page->countText.text(), "0");
  EXPECT_TRUE(page->searchButton.isEnabled());
}

TEST_F(DevicePage, IpHeaderSortsAscendingThenDescendingAndResetsAfterASearch) {
  FinishSearch(ThreeDevices());
  page->OnDeviceColumnClick(kColIp);
  EXPECT_EQ(Column(kColIp), QStringList({"10.0.0.9", "10.0.0.10", "192.168.1.5"}));
  EXPECT_EQ(Column(kColNo), QStringList({"1", "2", "3"}));
  page->OnDeviceColumnClick(kColIp);
  EXPECT_EQ(Column(kColIp), QStringList({"192.168.1.5", "10.0.0.10", "10.0.0.9"}));
  EXPECT_EQ(Column(kColNo), QStringList({"1", "2", "3"}));
  FinishSearch(ThreeDevices());
  page->OnDeviceColumnClick(kColIp);
  EXPECT_EQ(Column(kColIp), QStringList({"10.0.0.9", "10.0.0.10", "192.168.1.5"}));
}

TEST_F(DevicePage, SortedRowsKeepTheirRecords) {
  FinishSearch(ThreeDevices());
  page->OnDeviceColumnClick(kColTcpPort);
  EXPECT_EQ(Column(kColTcpPort), QStringList({"5000", "9000", "34567"}));
  for (int row = 0; row < page->RowCount(); ++row) {
    const DeviceRecord* r = page->RecordAt(row);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(QString::fromStdString(r->ip), page->CellText(row, kColIp));
  }
}

TEST_F(DevicePage, SortStateLastsPerColumnAcrossOtherClicks) {
  FinishSearch(ThreeDevices());
  page->OnDeviceColumnClick(kColIp);      // ascending
  page->OnDeviceColumnClick(kColTcpPort);  // ascending
  page->OnDeviceColumnClick(kColIp);      // descending
  EXPECT_EQ(Column(kColIp).first(), "192.168.1.5");
  page->filterEdit.setText("10.0");
  page->OnFind();
  page->OnShowAll();
  page->OnDeviceColumnClick(kColIp);  // FIND and ALL left the state: ascending again
  EXPECT_EQ(Column(kColIp).first(), "10.0.0.9");
}

TEST_F(DevicePage, NumberHeaderChangesNothing) {
  FinishSearch(ThreeDevices());
  page->OnDeviceColumnClick(kColIp);
  const QStringList before = Column(kColIp);
  page->OnDeviceColumnClick(kColNo);
  EXPECT_EQ(Column(kColIp), before);
  EXPECT_EQ(DeviceColumnTable[kColNo].sortState, 1);
}

TEST_F(DevicePage, HeaderClickThroughTheRealHeaderSorts) {
  FinishSearch(ThreeDevices());
  emit page->deviceList.header()->sectionClicked(kColIp);
  EXPECT_EQ(Column(kColIp).first(), "10.0.0.9");
}

TEST_F(DevicePage, FindAndAll) {
  FinishSearch(ThreeDevices());
  page->filterEdit.setText("nothing like it");
  page->OnFind();
  EXPECT_EQ(page->RowCount(), 0);
  EXPECT_EQ(page->countText.text(), "3");
  EXPECT_EQ(page->listShowingAll, 0);
  page->OnShowAll();
  EXPECT_EQ(Column(kColNo), QStringList({"1", "2", "3"}));
  EXPECT_EQ(Column(kColMac).first(), "00:00:00:00:00:0a");
  EXPECT_EQ(page->listShowingAll, 1);
  page->OnDeviceColumnClick(kColIp);
  page->OnShowAll();  // a second ALL changes nothing, the sorted order stays
  EXPECT_EQ(Column(kColIp).first(), "10.0.0.9");

  page->filterEdit.setText("10.0.0");
  page->OnFind();
  EXPECT_EQ(Column(kColIp), QStringList({"10.0.0.10", "10.0.0.9"}));
  EXPECT_EQ(Column(kColNo), QStringList({"1", "2"}));
  EXPECT_EQ(page->listShowingAll, 0);

  page->filterEdit.setText("00:00");  // every MAC: nothing filtered out
  page->OnFind();
  EXPECT_EQ(page->RowCount(), 3);
  EXPECT_EQ(page->listShowingAll, 1);
}

TEST_F(DevicePage, FindWithAnEmptyEditOrNoDevicesChangesNothing) {
  FinishSearch(ThreeDevices());
  page->OnDeviceColumnClick(kColIp);
  const QStringList before = Column(kColIp);
  page->filterEdit.clear();
  page->OnFind();
  EXPECT_EQ(Column(kColIp), before);
  FinishSearch({});
  EXPECT_EQ(page->FilterDeviceList(Main().deviceMap, "10"), -1);
}

TEST_F(DevicePage, FindIgnoresHiddenColumnsAndTheOnvifPortOfOtherKinds) {
  std::vector<DeviceRecord> devices = ThreeDevices();
  devices[0].model = "SpecialModel";
  FinishSearch(devices);
  pm::SendPrivateMessage(page, pm::WM_DEVINFO_MASK_CHANGED, 0x3FFF & ~(1 << kColModel));
  page->filterEdit.setText("SpecialModel");
  page->OnFind();
  EXPECT_EQ(page->RowCount(), 0);
  // Only the HTTP port column would find 8080; with it hidden, the ONVIF column
  // does not stand in for a device of another kind.
  pm::SendPrivateMessage(page, pm::WM_DEVINFO_MASK_CHANGED, 0x3FFF & ~(1 << kColHttpPort));
  page->filterEdit.setText("8080");
  page->OnFind();
  EXPECT_EQ(page->RowCount(), 0);
}

TEST_F(DevicePage, ColumnMaskHidesAndRestoresWidths) {
  FinishSearch(ThreeDevices());
  EXPECT_EQ(page->deviceList.columnWidth(kColModel), 90);  // 0x23FF shows the model
  pm::SendPrivateMessage(page, pm::WM_DEVINFO_MASK_CHANGED, 0x23FF & ~0x100);
  EXPECT_EQ(page->deviceList.columnWidth(kColModel), 0);
  EXPECT_EQ(page->shownColumns, 0x22FF);
  EXPECT_EQ(page->deviceList.columnMask, 0x22FFu);
  EXPECT_TRUE(page->OnHeaderBeginDrag(kColModel));
  EXPECT_FALSE(page->OnHeaderBeginDrag(kColIp));
  EXPECT_EQ(page->CellText(0, kColModel), "-- --");  // hidden, not gone
  pm::SendPrivateMessage(page, pm::WM_DEVINFO_MASK_CHANGED, 0x23FF);
  EXPECT_EQ(page->deviceList.columnWidth(kColModel), 90);
}

TEST_F(DevicePage, MasksZeroAndOneAreIgnored) {
  for (int mask : {0, 1}) {
    pm::SendPrivateMessage(page, pm::WM_DEVINFO_MASK_CHANGED, mask);
    EXPECT_EQ(page->shownColumns, 0x23FF) << mask;
    EXPECT_EQ(page->deviceList.columnWidth(kColIp), 100) << mask;
  }
}

TEST_F(DevicePage, LanguageChangeRetitlesAndRewritesLoginCells) {
  FinishSearch(ThreeDevices());
  Main().deviceMap.begin()->second.loggedIn = 1;
  pm::SendPrivateMessage(page, pm::WM_LANGUAGE_CHANGED);
  EXPECT_EQ(page->CellText(0, kColLoginState), "tx.Logined");
  EXPECT_EQ(page->deviceList.headerItem()->text(kColIp), "ck.IP");
  EXPECT_EQ(page->countLabel.text(), "tx.dev_num_descri");
}

// SEARCH alone carries a caption; FIND, ALL, NET and EXPORT show only their
// pictures, with the text as tooltip.
TEST_F(DevicePage, OnlySearchShowsACaption) {
  pm::SendPrivateMessage(page, pm::WM_LANGUAGE_CHANGED);
  const std::pair<CxSkinButton*, const char*> pictures[] = {{&page->findButton, "tx.Find"},
                                                            {&page->allButton, "tx.All"},
                                                            {&page->netButton, "tx.NetworkModify"},
                                                            {&page->exportButton, "tx.Export"}};
  for (const auto& [button, key] : pictures) {
    EXPECT_TRUE(button->caption.isEmpty()) << key;
    EXPECT_EQ(button->ToolTipText(), Text(key)) << key;
  }
  EXPECT_EQ(page->searchButton.caption, Text("tx.Search"));
}

// A right-to-left label starts at its left edge, as a left-to-right one
// does, so its text stays clear of the count on its right.
TEST_F(DevicePage, RightToLeftCountLabelStaysClearOfTheCount) {
  for (const char* text : {"Devices found:", "الأجهزة التي تم العثور عليها:", "دستگاه‌های یافت‌شده:",
                           "התקנים שנמצאו:"}) {
    SCOPED_TRACE(text);
    page->countLabel.setText(QString::fromUtf8(text));
    const InkSpan ink = InkOf(page->countLabel);
    ASSERT_GE(ink.left, 0);
    EXPECT_LE(ink.left, 2);
    EXPECT_LT(ink.right, page->countLabel.width() - 4) << "the count starts at " << page->countText.x();
  }
}

TEST_F(DevicePage, PortRefreshRewritesPortCellsAndKeepsDashes) {
  FinishSearch(ThreeDevices());
  for (auto& [mac, record] : Main().deviceMap) {
    record.httpPort = 8888;
    record.tcpPort = 7777;
  }
  pm::SendPrivateMessage(page, pm::WM_DEVICE_PORTS_CHANGED);
  EXPECT_EQ(Column(kColHttpPort), QStringList({"8888", "8888", "8888"}));
  EXPECT_EQ(Column(kColTcpPort), QStringList({"7777", "7777", "7777"}));
  EXPECT_EQ(Column(kColOnvifPort), QStringList({"8888", "8888", "--"}));
}

// --- the search command and its busy rules ------------------------------------

TEST_F(DevicePage, SearchWhileABatchRunsIsRefusedAndTheTimersSilently) {
  Main().operatePage.upgradeRun.upgradeBusy = 1;
  page->searchFromTimer = 1;
  page->RequestSearch();
  EXPECT_TRUE(Shown().isEmpty());
  EXPECT_EQ(page->searchFromTimer, 0);
  page->RequestSearch();  // the user's click right after
  EXPECT_EQ(Shown(), QStringList({"info.Configuring_wait"}));
  Main().operatePage.upgradeRun.upgradeBusy = 0;
}

TEST_F(DevicePage, SearchWhileADeviceCommandRunsIsRefused) {
  for (uint8_t CDlgDevInfo::*flag : {&CDlgDevInfo::networkChangeRunning, &CDlgDevInfo::deviceCommandRunning}) {
    shown.clear();
    page->*flag = 1;
    page->RequestSearch();
    EXPECT_EQ(Shown(), QStringList({"info.Configuring_wait"}));
    page->*flag = 0;
  }
  EXPECT_EQ(library.fake.CountOf("SDK_SearchDevices_v1_v3_MultiEth"), 0);
}

TEST_F(DevicePage, IdleSearchRunsTheSearchAndRefillsTheList) {
  FinishSearch(ThreeDevices());
  library.fake.searchRecords = {MakeDevice("00:00:00:00:00:01", "10.1.1.1")};
  page->searchFromTimer = 1;
  page->RequestSearch();
  EXPECT_EQ(page->searchFromTimer, 0);
  ASSERT_TRUE(ProcessUntil([&] { return page->RowCount() == 1 && page->searchButton.isEnabled(); }));
  EXPECT_EQ(Column(kColIp), QStringList({"10.1.1.1"}));
  EXPECT_EQ(page->countText.text(), "1");
  EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(DevicePage, NoMainWindowMeansNoSearchFindOrAll) {
  page->SetHost(nullptr);
  page->RequestSearch();
  EXPECT_EQ(pm::SendPrivateMessage(page, pm::WM_SEARCH_FINISHED), -1);
  page->OnShowAll();
  EXPECT_EQ(page->listShowingAll, 0);
  page->SetHost(&Main());
  EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(DevicePage, NetRefusedWhileABatchRunsAndWithoutASelection) {
  FinishSearch(ThreeDevices());
  Main().operatePage.rebootBusy = 1;
  page->OnNetworkButton();
  Main().operatePage.rebootBusy = 0;
  page->deviceList.clearSelection();
  page->OnNetworkButton();
  EXPECT_EQ(Shown(), QStringList({"info.Configuring_wait", "msg.Sel_one_dev_first"}));
  EXPECT_TRUE(Shown("network").isEmpty());
  EXPECT_EQ(page->networkChangeRunning, 0);
}

// --- commands that never look at the busy flags ------------------------------------

class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void Open(const QUrl& url) { urls << url; }
};

TEST_F(DevicePage, IpDoubleClickOpensTheWebPageFromTheCellsEvenWhileBusy) {
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler("http", &catcher, "Open");
  FinishSearch(ThreeDevices());
  Main().operatePage.upgradeRun.upgradeBusy = 1;
  page->SetCellText(2, kColHttpPort, "8081");  // the cells are what counts
  page->OnDeviceListDblClk(2, kColIp);
  page->OnDeviceListDblClk(2, kColMac);  // nothing
  Main().operatePage.upgradeRun.upgradeBusy = 0;
  QDesktopServices::unsetUrlHandler("http");
  ASSERT_EQ(catcher.urls.size(), 1);
  EXPECT_EQ(catcher.urls[0].toString(), "http://192.168.1.5:8081");
  EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(DevicePage, LoginCellDoubleClickPromptsEvenWhileBusy) {
  FinishSearch(ThreeDevices());
  Main().operatePage.upgradeRun.upgradeBusy = 1;
  page->OnDeviceListDblClk(0, kColLoginState);  // the prompt is cancelled
  Main().operatePage.upgradeRun.upgradeBusy = 0;
  EXPECT_EQ(Shown("login"), QStringList({"10.0.0.10"}));
  EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(DevicePage, CopiesTheCellAsUtf8) {
  std::vector<DeviceRecord> devices = ThreeDevices();
  devices[1].model = "摄像机 Ä";
  FinishSearch(devices);
  page->CopyCellToClipboard(0, kColModel);
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->text(), QString::fromUtf8("摄像机 Ä"));
  EXPECT_EQ(data->data("text/plain;charset=utf-8"), QByteArray("摄像机 Ä"));
}

}  // namespace
}  // namespace devlist_test

#include "device_page_test.moc"
