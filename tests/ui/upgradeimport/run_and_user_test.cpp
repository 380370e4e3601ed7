// What the user may do while a threaded run goes on: log a device in by
// double-clicking its login cell (never refused), have a search request
// arrive inside the run's prompt (never carried out while the run is busy),
// or close the window. The run and the UI thread must not both change a
// record, no login may be lost without its logout, and nothing of the run
// outlives the window.
#include <QThread>
#include <atomic>
#include <set>

#include "tests/ui/upgradeimport/threaded_run_fixture.h"
#include "ui/framework/worker_modal.h"

namespace operate_test {
namespace {

constexpr const char* kFirst = "192.168.1.30";  // tree order: MAC order
constexpr const char* kSecond = "10.0.0.20";
constexpr int32_t kRunHandle = 13;          // what the library gives the run's login
constexpr int32_t kDoubleClickHandle = 99;  // and the double-click's

struct RunKind {
  const char* name;
  unsigned message;
};

void PrintTo(const RunKind& kind, std::ostream* os) { *os << kind.name; }

class RunAndUserTest : public ThreadedRunTest, public ::testing::WithParamInterface<RunKind> {
 protected:
  pm::LRESULT Start() {
    return pm::SendPrivateMessage(op, GetParam().message, reinterpret_cast<pm::WPARAM>(&configFile));
  }
  bool Upgrade() const { return GetParam().message == pm::WM_BATCH_UPGRADE; }
  void WaitForTheWorker() { ASSERT_TRUE(WaitUntil([&] { return !op->WorkersRunning(); })); }
  // An upgrade ends with the library's reports (which drop the login without
  // a logout, as the device restarts); an import with its worker.
  void EndTheRun(std::initializer_list<const char*> ips) {
    if (Upgrade())
      for (const char* ip : ips) Report(ip, 0, -1);
    EXPECT_FALSE(op->IsBatchBusy());
  }
  // Every handle the library gave out is logged out or still held by a
  // record: no login is lost.
  void ExpectNoLoginLost(const std::set<int32_t>& given) {
    std::set<int32_t> accounted;
    for (const FakeCall& c : library.fake.CallsOf("SdkLogout")) accounted.insert(std::stoi(c.Arg(0)));
    for (const auto& [mac, record] : Main().deviceMap)
      if (record.loggedIn) accounted.insert(record.loginHandle);
    for (int32_t handle : given) EXPECT_TRUE(accounted.count(handle)) << "login " << handle << " was lost";
  }
  int RowOf(const char* ip) {
    CDlgDevInfo& list = Main().devInfoPage;
    for (int row = 0; row < list.RowCount(); ++row)
      if (list.RecordAt(row)->ip == ip) return row;
    return -1;
  }
  std::string configFile = "/exports/V5.2.4.cfg";
};

// The run's login is under way on its worker when the user double-clicks
// the same device's login cell and logs it in with a login of its own.
TEST_P(RunAndUserTest, ADoubleClickLoginWhileTheRunLogsTheSameDeviceIn) {
  Check({kFirst});
  // Flags with no order between the threads: the test itself must not make
  // the run's and the UI thread's changes of the record look ordered.
  std::atomic<bool> runInLogin{false};
  std::atomic<bool> goOn{false};
  library.fake.onLogin = [&](const std::string&, uint16_t, const std::string&, const std::string&, int*) {
    if (modal::OnUiThread()) return kDoubleClickHandle;
    runInLogin.store(true, std::memory_order_relaxed);
    for (int i = 0; i < 10000 && !goOn.load(std::memory_order_relaxed); ++i) QThread::msleep(1);
    return kRunHandle;
  };
  ASSERT_EQ(Start(), 1);
  ASSERT_TRUE(WaitUntil([&] { return runInLogin.load(std::memory_order_relaxed); }));

  Main().devInfoPage.OnDeviceListDblClk(RowOf(kFirst), kColLoginState);
  EXPECT_EQ(Shown("login").size(), 2u);  // the run's prompt, then the double-click's
  goOn.store(true, std::memory_order_relaxed);
  WaitForTheWorker();

  // The device was logged in once the run's login came back: the run works
  // with that login, and its own is logged out again.
  const char* call = Upgrade() ? "SdkOpenUpgrade" : "SdkImportConfig";
  EXPECT_EQ(FirstArgs(call), std::vector<std::string>{std::to_string(kDoubleClickHandle)});
  ExpectNoLoginLost({kRunHandle, kDoubleClickHandle});
  EndTheRun({kFirst});
  EXPECT_EQ(ItemOf(kFirst)->text(0), Status(kFirst, "tx.success"));
  EXPECT_EQ(LoginCell(kFirst), Text("tx.unLogin"));
}

// Timer 101's request was posted while nothing was busy and reaches the
// main window inside the run's prompt: the run goes on over every device.
TEST_P(RunAndUserTest, ASearchRequestInsideTheRunsPromptIsNotCarriedOut) {
  Check({kFirst, kSecond});
  library.fake.searchRecords = ThreeDevices();
  answer = [this](const modal::ModalRequest& request) {
    if (request.kind == "login") QCoreApplication::processEvents();  // as the prompt's own loop does
    return DefaultAnswer(request);
  };
  pm::PostPrivateMessage(&Main(), pm::WM_REQUEST_SEARCH);
  ASSERT_EQ(Start(), 1);
  WaitForTheWorker();
  EndTheRun({kFirst, kSecond});
  EXPECT_EQ(library.fake.CountOf("SDK_SearchDevices_v1_v3_MultiEth"), 0);
  for (const char* ip : {kFirst, kSecond}) EXPECT_EQ(ItemOf(ip)->text(0), Status(ip, "tx.success"));
  EXPECT_EQ(Shown(), QStringList({Text("info.operate_completed")}));
  EXPECT_FALSE(op->IsBatchBusy());
}

// The window closes (by the platform, or Quit once nothing is busy) just as
// the run starts: the run ends with the window, and its prompt and notice
// never appear.
TEST_P(RunAndUserTest, ClosingTheWindowEndsTheRunWithNoWindowAfterIt) {
  Check({kFirst, kSecond});
  ASSERT_EQ(Start(), 1);
  // The worker is past its first look at the stop flag and waits for the UI
  // thread to read it the first item; it asks for the prompt while the
  // window closes.
  QThread::msleep(50);
  Main().done(0);
  EXPECT_FALSE(op->WorkersRunning());
  EXPECT_FALSE(op->IsBatchBusy());
  QCoreApplication::processEvents();
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(library.fake.CountOf("SdkLogin"), 0);
}

INSTANTIATE_TEST_SUITE_P(Runs, RunAndUserTest,
                         ::testing::Values(RunKind{"Upgrade", pm::WM_BATCH_UPGRADE},
                                           RunKind{"Import", pm::WM_BATCH_CONFIG_IMPORT}),
                         [](const ::testing::TestParamInfo<RunKind>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace operate_test
