// The firmware upgrade run over the fake device library: the worker's walk
// with its one prompt, the progress messages, the watchdog, the completion
// notice and the busy flag, and the run kept whole when boxes change, a
// report comes late or the prompt is cancelled.
#include <QObject>

#include "tests/ui/upgradeimport/threaded_run_fixture.h"

namespace operate_test {
namespace {

// Tree order is MAC order: 192.168.1.30, 10.0.0.20, 192.168.1.10.
constexpr const char* kFirst = "192.168.1.30";
constexpr const char* kSecond = "10.0.0.20";
constexpr const char* kThird = "192.168.1.10";

class UpgradeRunTest : public ThreadedRunTest {};

TEST_F(UpgradeRunTest, OneFinishedOneFailedEndTheRunWithOneNotice) {
  Check({kFirst, kSecond});
  ASSERT_EQ(Run(pm::WM_BATCH_UPGRADE), 1);
  EXPECT_EQ(Shown("login").size(), 1u);
  const auto opens = library.fake.CallsOf("SdkOpenUpgrade");
  ASSERT_EQ(opens.size(), 2u);
  EXPECT_EQ(opens[0].Arg(0), "13");
  EXPECT_EQ(opens[0].Arg(1), "/firmware/dv-t100.bin");
  EXPECT_EQ(opens[0].Arg(2), "callback");
  EXPECT_EQ(opens[0].Arg(4), "0");
  EXPECT_EQ(opens[1].Arg(0), "12");
  EXPECT_EQ(library.fake.CountOf("SdkStartUpgrade"), 2);
  EXPECT_EQ(Record(kFirst).upgradeHandle, library.fake.openUpgradeResult);
  EXPECT_TRUE(op->upgradeRun.upgradeBusy);
  EXPECT_TRUE(Shown().isEmpty());  // the results come later

  // Sending (first phase), then writing (second phase), then the end.
  Report(kFirst, 200, 100);
  EXPECT_EQ(ItemOf(kFirst)->text(0), Percent(kFirst, 25));
  Report(kFirst, -1, 60);
  EXPECT_EQ(ItemOf(kFirst)->text(0), Percent(kFirst, 80));
  Report(kFirst, 0, -1);
  EXPECT_EQ(ItemOf(kFirst)->text(0), Status(kFirst, "tx.success"));
  EXPECT_TRUE(op->upgradeRun.upgradeBusy);
  EXPECT_TRUE(Shown().isEmpty());

  Report(kSecond, 0, -2);
  EXPECT_EQ(ItemOf(kSecond)->text(0), Status(kSecond, "tx.fail"));
  EXPECT_EQ(Shown(), QStringList({Text("info.operate_completed")}));
  EXPECT_FALSE(op->upgradeRun.upgradeBusy);
  EXPECT_EQ(op->upgradeRun.successCount, 1);
  EXPECT_EQ(op->upgradeRun.failureCount, 1);

  // Both are logged out in the list; only the failed one through the library.
  EXPECT_EQ(FirstArgs("SdkLogout"), std::vector<std::string>{"12"});
  EXPECT_EQ(library.fake.CountOf("SdkCloseUpgrade"), 2);
  for (const char* ip : {kFirst, kSecond}) {
    const DeviceRecord& r = Record(ip);
    EXPECT_EQ(LoginCell(ip), Text("tx.unLogin"));
    EXPECT_EQ(r.loggedIn, 0);
    EXPECT_EQ(r.loginHandle, 0);
    EXPECT_EQ(r.upgradeHandle, 0);
    EXPECT_EQ(r.upgradeItem, 0);
    EXPECT_EQ(r.upgradeProgress, 0);
    EXPECT_EQ(r.batchTouched, 1);
  }
  EXPECT_EQ(ItemOf(kThird)->text(0), QString(kThird));  // not checked, not touched
}

// Counts the private messages that reach the page.
class MessageCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() >= QEvent::User) ++count;
    return false;
  }
  int count = 0;
};

TEST_F(UpgradeRunTest, AValueIsPostedOnlyWhenItChangesAndEveryCallResetsTheStallCount) {
  MessageCounter counter;
  op->Mailbox()->installEventFilter(&counter);
  DeviceRecord& r = Record(kFirst);
  r.upgradeStallTicks = 1;
  UpgradeProgressCallback(0, 0, 200, 100, &r);
  EXPECT_EQ(r.upgradeStallTicks, 0);
  r.upgradeStallTicks = 1;
  UpgradeProgressCallback(0, 0, 200, 101, &r);  // still 25
  EXPECT_EQ(r.upgradeStallTicks, 0);
  UpgradeProgressCallback(0, 0, 200, 0, &r);  // the sending phase's start: 0 is a change too
  UpgradeProgressCallback(0, 0, -1, 120, &r);
  QCoreApplication::processEvents();
  EXPECT_EQ(counter.count, 3);
  EXPECT_EQ(r.upgradeProgress, 100);
  // A record with no upgrade of the run: its reports change no text and no counter.
  EXPECT_EQ(ItemOf(kFirst)->text(0), QString(kFirst));
  EXPECT_EQ(Counted(), 0);
  op->Mailbox()->removeEventFilter(&counter);
}

TEST_F(UpgradeRunTest, ASilentDeviceIsGivenUpAtTheSecondTickAndAnEndOnItsWayIsLeftToTheHandler) {
  Check({kFirst, kSecond});
  ASSERT_EQ(Run(pm::WM_BATCH_UPGRADE), 1);
  Report(kFirst, 200, 120);
  EXPECT_EQ(ItemOf(kFirst)->text(0), Percent(kFirst, 30));
  // The second device's end report is posted but not yet handled when the
  // ticks come.
  UpgradeProgressCallback(0, 0, 0, -1, &Record(kSecond));

  op->OnUpgradeWatchdog(CDlgOperate::kWatchdogTimer);
  EXPECT_EQ(Record(kFirst).upgradeStallTicks, 1);
  EXPECT_EQ(ItemOf(kFirst)->text(0), Percent(kFirst, 30));
  op->OnUpgradeWatchdog(2);  // another timer: no watchdog work
  EXPECT_EQ(Record(kFirst).upgradeStallTicks, 1);
  op->OnUpgradeWatchdog(CDlgOperate::kWatchdogTimer);
  EXPECT_EQ(ItemOf(kFirst)->text(0), Status(kFirst, "tx.fail"));
  EXPECT_EQ(Record(kFirst).upgradeHandle, 0);
  EXPECT_EQ(Record(kFirst).loggedIn, 0);
  EXPECT_EQ(LoginCell(kFirst), Text("tx.unLogin"));
  EXPECT_EQ(Record(kSecond).upgradeHandle, library.fake.openUpgradeResult);  // left alone
  EXPECT_EQ(op->upgradeRun.failureCount, 1);
  EXPECT_EQ(op->upgradeRun.successCount, 0);
  EXPECT_TRUE(op->upgradeRun.upgradeBusy);

  QCoreApplication::processEvents();  // the second device's end report
  EXPECT_EQ(ItemOf(kSecond)->text(0), Status(kSecond, "tx.success"));
  EXPECT_EQ(Shown(), QStringList({Text("info.operate_completed")}));
  EXPECT_FALSE(op->upgradeRun.upgradeBusy);

  // A late report for the device given up counts nothing and shows nothing.
  Report(kFirst, 0, -1);
  EXPECT_EQ(ItemOf(kFirst)->text(0), Status(kFirst, "tx.fail"));
  EXPECT_EQ(Counted(), 2);
  EXPECT_EQ(Shown().size(), 1);
  EXPECT_TRUE(library.fake.CallsOf("SdkLogout").empty());  // the watchdog drops the login without a logout
  EXPECT_EQ(library.fake.CountOf("SdkCloseUpgrade"), 2);
}

TEST_F(UpgradeRunTest, AReportEachTickKeepsTheDeviceAlive) {
  Check({kFirst});
  ASSERT_EQ(Run(pm::WM_BATCH_UPGRADE), 1);
  for (int percent = 10; percent <= 40; percent += 10) {
    op->OnUpgradeWatchdog(CDlgOperate::kWatchdogTimer);
    Report(kFirst, -1, percent);
  }
  EXPECT_NE(Record(kFirst).upgradeHandle, 0);
  EXPECT_EQ(Counted(), 0);
  Report(kFirst, 0, -1);
  EXPECT_FALSE(op->upgradeRun.upgradeBusy);
}

TEST_F(UpgradeRunTest, ThreeFailedLoginsCompleteRightAfterTheWalk) {
  library.fake.loginHandles.clear();  // every login refused
  Check({kFirst, kSecond, kThird});
  ASSERT_EQ(Run(pm::WM_BATCH_UPGRADE), 1);
  for (const char* ip : {kFirst, kSecond, kThird}) EXPECT_EQ(ItemOf(ip)->text(0), Status(ip, "info.Login_fail"));
  EXPECT_EQ(op->upgradeRun.failureCount, 3);
  EXPECT_EQ(Shown(), QStringList({Text("info.operate_completed")}));
  EXPECT_FALSE(op->upgradeRun.upgradeBusy);
  EXPECT_EQ(library.fake.CountOf("SdkOpenUpgrade"), 0);
}

TEST_F(UpgradeRunTest, UpgradesThatDoNotOpenOrStartFailAtOnce) {
  struct Case {
    int32_t openResult;
    int startResult;
    int closes;
  };
  for (const Case c : {Case{0, 1, 0}, Case{0x5000, 0, 2}}) {
    shown.clear();
    library.fake.ClearCalls();
    library.fake.openUpgradeResult = c.openResult;
    library.fake.startUpgradeResult = c.startResult;
    for (const char* ip : {kFirst, kSecond}) Record(ip).loggedIn = 0;
    Check({kFirst, kSecond});
    ASSERT_EQ(Run(pm::WM_BATCH_UPGRADE), 1);
    for (const char* ip : {kFirst, kSecond}) {
      EXPECT_EQ(ItemOf(ip)->text(0), Status(ip, "tx.fail"));
      EXPECT_EQ(Record(ip).upgradeHandle, 0);
    }
    EXPECT_EQ(library.fake.CountOf("SdkCloseUpgrade"), c.closes);
    EXPECT_EQ(op->upgradeRun.failureCount, 2);
    EXPECT_EQ(Shown(), QStringList({Text("info.operate_completed")}));
    EXPECT_FALSE(op->upgradeRun.upgradeBusy);
  }
}

TEST_F(UpgradeRunTest, CancellingTheFirstPromptEndsTheRunSilentlyAndTheNextCommandIsTaken) {
  Check({kFirst, kSecond});
  cancelLogin = true;
  ASSERT_EQ(Run(pm::WM_BATCH_UPGRADE), 1);
  EXPECT_TRUE(Shown().isEmpty());
  EXPECT_FALSE(op->upgradeRun.upgradeBusy);
  EXPECT_FALSE(op->IsBatchBusy());
  EXPECT_EQ(library.fake.CountOf("SdkLogin"), 0);
  EXPECT_EQ(ItemOf(kFirst)->text(0), QString(kFirst));

  cancelLogin = false;
  ASSERT_EQ(Run(pm::WM_BATCH_UPGRADE), 1);
  EXPECT_EQ(library.fake.CountOf("SdkStartUpgrade"), 2);
  Report(kFirst, 0, -1);
  Report(kSecond, 0, -1);
  EXPECT_EQ(Shown(), QStringList({Text("info.operate_completed")}));
  EXPECT_FALSE(op->upgradeRun.upgradeBusy);
}

TEST_F(UpgradeRunTest, AfterACancelTheStartedUpgradesFinishBeforeAnotherRunAndOutsideItsCounters) {
  // The first device needs no prompt: its upgrade starts; the prompt for the
  // second is cancelled.
  LogIn(kFirst, 13);
  Check({kFirst, kSecond});
  cancelLogin = true;
  ASSERT_EQ(Run(pm::WM_BATCH_UPGRADE), 1);
  EXPECT_EQ(library.fake.CountOf("SdkStartUpgrade"), 1);
  EXPECT_TRUE(op->upgradeRun.upgradeBusy);  // its upgrade still runs: no new run, search or Quit
  EXPECT_TRUE(op->IsBatchBusy());

  Report(kFirst, 0, -1);
  EXPECT_EQ(ItemOf(kFirst)->text(0), Status(kFirst, "tx.success"));
  EXPECT_FALSE(op->upgradeRun.upgradeBusy);
  EXPECT_TRUE(Shown().isEmpty());  // a cancelled run has no notice

  cancelLogin = false;
  ASSERT_EQ(Run(pm::WM_BATCH_UPGRADE), 1);
  EXPECT_EQ(Counted(), 0);
  EXPECT_EQ(op->upgradeRun.selectedCount, 2);
}

TEST_F(UpgradeRunTest, ABoxCheckedOrClearedDuringTheWalkKeepsTheCountToTheDevicesReached) {
  struct Case {
    std::vector<const char*> checked;
    const char* toggled;  // during the prompt, at the first device
    Qt::CheckState state;
    std::vector<const char*> reached;
  };
  const Case cases[] = {
      {{kFirst, kSecond}, kThird, Qt::Checked, {kFirst, kSecond, kThird}},
      {{kFirst, kSecond, kThird}, kThird, Qt::Unchecked, {kFirst, kSecond}},
  };
  for (const Case& c : cases) {
    shown.clear();
    library.fake.ClearCalls();
    for (const char* ip : {kFirst, kSecond, kThird}) {
      ItemOf(ip)->setCheckState(0, Qt::Unchecked);
      Record(ip).loggedIn = 0;
    }
    for (const char* ip : c.checked) ItemOf(ip)->setCheckState(0, Qt::Checked);
    answer = [&](const modal::ModalRequest& request) {
      if (request.kind != "login") return 1;
      ItemOf(c.toggled)->setCheckState(0, c.state);
      auto* prompt = qobject_cast<CDlgLoginLocal*>(request.dialog);
      prompt->userEdit.setText("admin");
      prompt->passwordEdit.setText("admin123");
      prompt->okButton.click();
      return prompt->result();
    };
    ASSERT_EQ(Run(pm::WM_BATCH_UPGRADE), 1);
    answer = nullptr;
    EXPECT_EQ(op->upgradeRun.selectedCount, static_cast<int>(c.reached.size()));
    for (std::size_t i = 0; i < c.reached.size(); ++i) {
      EXPECT_TRUE(Shown().isEmpty());
      Report(c.reached[i], 0, -1);
    }
    EXPECT_EQ(Shown(), QStringList({Text("info.operate_completed")}));
    EXPECT_FALSE(op->upgradeRun.upgradeBusy);
  }
}

TEST_F(UpgradeRunTest, AnEndReportedBeforeTheWorkerStoredTheUpgradeIsStillCounted) {
  // The library may finish (or fail) before SdkStartUpgrade has returned to
  // the worker; the report then finds no item yet.
  LogIn(kFirst, 13);
  Check({kFirst});
  // Reported (and its message handled) before the run stores the item, as a
  // fast library's thread could.
  UpgradeProgressCallback(0, 0, 0, -2, &Record(kFirst));
  ASSERT_EQ(Run(pm::WM_BATCH_UPGRADE), 1);
  QCoreApplication::processEvents();
  EXPECT_EQ(ItemOf(kFirst)->text(0), Status(kFirst, "tx.fail"));
  EXPECT_EQ(op->upgradeRun.failureCount, 1);
  EXPECT_EQ(Shown(), QStringList({Text("info.operate_completed")}));
  EXPECT_FALSE(op->upgradeRun.upgradeBusy);
}

TEST_F(UpgradeRunTest, NothingCheckedIsRefusedWithANotice) {
  EXPECT_EQ(pm::SendPrivateMessage(op, pm::WM_BATCH_UPGRADE), -1);
  EXPECT_EQ(Shown(), QStringList({Text("msg.Sel_dev_first")}));
  EXPECT_FALSE(op->upgradeRun.upgradeBusy);
  EXPECT_TRUE(library.fake.Calls().empty());
}

}  // namespace
}  // namespace operate_test
