// One search on its worker: the discovery call, the records, the customer
// filter, the finish notices and the failure notice.
#include <gmock/gmock.h>

#include <QCoreApplication>

#include "core/language/language.h"
#include "tests/ui/mainwindow/main_window_fixture.h"
#include "ui/main/customer_filter.h"

namespace {

using ::testing::ElementsAre;

std::vector<std::string> Macs(const DeviceMap& map) {
  std::vector<std::string> out;
  for (const auto& [mac, r] : map) out.push_back(mac);
  return out;
}

TEST_F(MainWindowTest, DiscoveryGetsTheZeroedBufferAndTheExactArguments) {
  ShowWindow();
  std::fill(dlg->searchBuffer.begin(), dlg->searchBuffer.end(), uint8_t{0xAB});  // left over from before
  fake.searchRecords = {Device("00:11:22:33:44:01", "10.0.0.1")};
  RunSearch();
  const auto calls = fake.CallsOf("SDK_SearchDevices_v1_v3_MultiEth");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_THAT(calls[0].args, ElementsAre("ptr", "446464", "0", "2", "3000", "zeroed"));
  EXPECT_EQ(dlg->searchResultCount, 1);
}

TEST_F(MainWindowTest, RecordsAreCopiedAndARepeatedMacKeepsTheFirst) {
  ShowWindow();
  DeviceRecord first = Device("00:11:22:33:44:0a", "10.0.0.1");
  first.model = "";
  first.kind = 0;
  first.httpPort = 8080;
  DeviceRecord other = Device("00:11:22:33:44:0b", "10.0.0.2");
  other.kind = 1;
  other.model = "NVR-16";
  DeviceRecord again = Device("00:11:22:33:44:0a", "10.0.0.3");
  fake.searchRecords = {first, other, again};
  RunSearch();

  ASSERT_THAT(Macs(dlg->deviceMap), ElementsAre("00:11:22:33:44:0a", "00:11:22:33:44:0b"));
  const DeviceRecord& a = dlg->deviceMap.at("00:11:22:33:44:0a");
  EXPECT_EQ(a.ip, "10.0.0.1");
  EXPECT_TRUE(a.valid);
  EXPECT_EQ(a.model, "-- --");
  EXPECT_EQ(a.onvifCapable, 1);
  EXPECT_EQ(a.onvifPort, 8080);
  const DeviceRecord& b = dlg->deviceMap.at("00:11:22:33:44:0b");
  EXPECT_EQ(b.model, "NVR-16");
  EXPECT_EQ(b.onvifCapable, 0);
  EXPECT_EQ(b.onvifPort, 0);
  EXPECT_EQ(dlg->searchResultCount, 3);  // the library's count, repeats included
}

struct CustomerCase {
  const char* configured;
  const char* device;
  bool kept;
};

void PrintTo(const CustomerCase& c, std::ostream* os) { *os << "'" << c.configured << "' '" << c.device << "'"; }

class CustomerCodeRule : public ::testing::TestWithParam<CustomerCase> {};

TEST_P(CustomerCodeRule, KeepsOrDrops) {
  const auto& c = GetParam();
  EXPECT_EQ(CustomerCodeKeepsDevice(QString::fromUtf8(c.configured), QString::fromUtf8(c.device)), c.kept)
      << "configured '" << c.configured << "', device '" << c.device << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Table, CustomerCodeRule,
    ::testing::Values(
        // A configured code holding "C0000" anywhere keeps everything.
        CustomerCase{"C0000", "C1234", true}, CustomerCase{"X1C0000Y", "Z9", true},
        // Two device codes joined: either one, "C0000" and the empty code stay.
        CustomerCase{"C1111C2222", "C1111", true}, CustomerCase{"C1111C2222", "C2222", true},
        CustomerCase{"C1111C2222", "C0000", true}, CustomerCase{"C1111C2222", "", true},
        CustomerCase{"C1111C2222", "C3333", false}, CustomerCase{"C1111C2222", "1C2", true},
        // Case matters, and "C0000" must be exact on the device side.
        CustomerCase{"C1111", "c1111", false}, CustomerCase{"C1111", "C0000 ", false},
        // An empty configured code keeps only "C0000" and empty codes.
        CustomerCase{"", "C0000", true}, CustomerCase{"", "", true}, CustomerCase{"", "C1111", false}));

TEST_F(MainWindowTest, TheSearchDropsOtherCustomersDevices) {
  ShowWindow();
  dlg->config.customerCode = "C1111C2222";
  fake.searchRecords = {Device("00:00:00:00:00:01", "10.0.0.1", "C1111"),
                        Device("00:00:00:00:00:02", "10.0.0.2", "C3333"),
                        Device("00:00:00:00:00:03", "10.0.0.3", "C0000"),
                        Device("00:00:00:00:00:04", "10.0.0.4", "C2222"),
                        Device("00:00:00:00:00:05", "10.0.0.5", "")};
  RunSearch();
  EXPECT_THAT(Macs(dlg->deviceMap),
              ElementsAre("00:00:00:00:00:01", "00:00:00:00:00:03", "00:00:00:00:00:04", "00:00:00:00:00:05"));
}

TEST_F(MainWindowTest, EveryDeviceFilteredOutIsNoFailure) {
  ShowWindow();
  RecordSearchNotices();
  dlg->config.customerCode = "C1111";
  fake.searchRecords = {Device("00:00:00:00:00:02", "10.0.0.2", "C3333")};
  RunSearch();
  EXPECT_TRUE(dlg->deviceMap.empty());
  EXPECT_TRUE(Tips().empty());
  EXPECT_EQ(devicePage->received.back().message, pm::WM_SEARCH_FINISHED);
}

struct NoticeCase {
  int pageIndex;
  bool deviceListGetsTheSend;
};

void PrintTo(const NoticeCase& c, std::ostream* os) { *os << "page " << c.pageIndex; }

class FinishNotice : public MainWindowTest, public ::testing::WithParamInterface<NoticeCase> {};

// The page in view gets the notice sent (the worker waits until it has
// rebuilt its view), the other one posted. Only index 3 is the batch page.
TEST_P(FinishNotice, IsSentToThePageInViewAndPostedToTheOther) {
  ShowWindow();
  RecordSearchNotices();
  devicePage->probeWorkerWaiting = true;
  batchPage->probeWorkerWaiting = true;
  dlg->currentPageIndex = GetParam().pageIndex;
  fake.searchRecords = {Device("00:00:00:00:00:01", "10.0.0.1")};
  RunSearch();
  ASSERT_TRUE(WaitUntil([&] { return devicePage->received.size() == 2 && batchPage->received.size() == 2; }));
  for (RecordingPage* page : {devicePage.get(), batchPage.get()}) {
    EXPECT_EQ(page->received[0].message, pm::WM_SEARCH_STARTED);
    EXPECT_EQ(page->received[1].message, pm::WM_SEARCH_FINISHED);
    EXPECT_EQ(page->received[1].mapSize, 1u);
  }
  EXPECT_EQ(devicePage->received[1].workerWaited, GetParam().deviceListGetsTheSend);
  EXPECT_EQ(batchPage->received[1].workerWaited, !GetParam().deviceListGetsTheSend);
}

INSTANTIATE_TEST_SUITE_P(PageIndex, FinishNotice,
                         ::testing::Values(NoticeCase{0, true}, NoticeCase{3, false}, NoticeCase{14, true}));

struct FailureCase {
  int result;
  int count;  // records the library claims
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << "result " << c.result << " count " << c.count; }

class FailedSearch : public MainWindowTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailedSearch, ShowsTheErrorNoticeAndEndsTheSearchAsUsual) {
  ShowWindow();
  RecordSearchNotices();
  const FailureCase c = GetParam();
  fake.onSearch = [c](uint8_t*, int, int* count, int, int) {
    *count = c.count;
    return c.result;
  };
  RunSearch();
  const auto tips = Tips();
  ASSERT_EQ(tips.size(), 1u);
  QString expected = Text("info.search_failed_d");
  expected.replace("%d", QString::number(c.result));
  EXPECT_EQ(tips[0].text, expected);
  EXPECT_EQ(tips[0].title, Text("msg.Msg"));
  EXPECT_EQ(tips[0].icon, 0x10);
  EXPECT_FALSE(dlg->searching.load());
  EXPECT_EQ(dlg->searchResultCount, 0);
  EXPECT_TRUE(dlg->deviceMap.empty());
  ASSERT_TRUE(WaitUntil([&] { return batchPage->received.size() == 2; }));
  EXPECT_EQ(devicePage->received.back().message, pm::WM_SEARCH_FINISHED);
  EXPECT_EQ(batchPage->received.back().message, pm::WM_SEARCH_FINISHED);

  // Quit is no longer refused: it asks whether to leave.
  answer = [](const modal::ModalRequest&) { return 2; };
  dlg->OnQuit();
  ASSERT_EQ(Tips().size(), 2u);
  EXPECT_EQ(Tips()[1].text, Text("msg.Exit"));
}

INSTANTIATE_TEST_SUITE_P(Results, FailedSearch,
                         ::testing::Values(FailureCase{0, 0}, FailureCase{0, 3}, FailureCase{7, 0},
                                           FailureCase{1, -2}));

TEST_F(MainWindowTest, AnOversizedCountReadsNoFurtherThanTheBuffer) {
  ShowWindow();
  fake.onSearch = [](uint8_t*, int, int* count, int, int) {
    *count = 5000;
    return 1;
  };
  RunSearch();
  EXPECT_EQ(dlg->searchResultCount, 1024);
}

}  // namespace
