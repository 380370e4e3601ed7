// The synchronous runs over the fake device library: the walk with its one
// login prompt, each run's calls with their arguments and the statuses they
// leave, the user-table search, the port patch and the busy flags.
#include <QCoreApplication>
#include <QTest>
#include <cstring>

#include "tests/ui/operations/operate_page_fixture.h"
#include "ui/devicelist/device_columns.h"

namespace operate_test {
namespace {

using namespace devicelib;

class BatchRunTest : public ThreeDeviceRunTest {
 protected:
  int Prompts() const { return static_cast<int>(Shown("login").size()); }
};

TEST_F(BatchRunTest, NothingCheckedIsRefusedWithANotice) {
  for (unsigned message : {pm::WM_BATCH_REBOOT, pm::WM_BATCH_DEFAULTS}) {
    shown.clear();
    EXPECT_EQ(pm::SendPrivateMessage(op, message), -1);
    EXPECT_EQ(Shown(), QStringList({Text("msg.Sel_dev_first")}));
  }
  EXPECT_EQ(op->selectedCount, 0);
  EXPECT_TRUE(library.fake.Calls().empty());
  EXPECT_FALSE(op->IsBatchBusy());
}

TEST_F(BatchRunTest, NoRunWhileASearchIsUnderWay) {
  LogIn("10.0.0.20", 22);
  Check({"10.0.0.20"});
  Main().searching = true;
  EXPECT_EQ(pm::SendPrivateMessage(op, pm::WM_BATCH_REBOOT), -1);
  Main().searching = false;
  EXPECT_TRUE(library.fake.Calls().empty());
  EXPECT_TRUE(shown.empty());
  EXPECT_FALSE(op->IsBatchBusy());
}

// Timer 101 posts its request while nothing is busy; the user's Yes starts a
// run in the same pass of the event loop, and the request reaches the main
// window inside the run's login prompt. The run owns the records until it
// ends: the request is not carried out.
TEST_F(BatchRunTest, ASearchRequestDeliveredInsideTheRunsPromptIsNotCarriedOut) {
  Check({"192.168.1.10", "192.168.1.30", "10.0.0.20"});
  library.fake.searchRecords = ThreeDevices();
  answer = [this](const modal::ModalRequest& request) {
    if (request.kind == "login") QCoreApplication::processEvents();  // as the prompt's own loop does
    return DefaultAnswer(request);
  };
  pm::PostPrivateMessage(&Main(), pm::WM_REQUEST_SEARCH);
  EXPECT_EQ(pm::SendPrivateMessage(op, pm::WM_BATCH_REBOOT), 1);

  EXPECT_EQ(library.fake.CountOf("SDK_SearchDevices_v1_v3_MultiEth"), 0);
  EXPECT_FALSE(Main().searching.load());
  EXPECT_EQ(FirstArgs("SdkReboot"), (std::vector<std::string>{"13", "12", "11"}));
  for (const char* ip : {"192.168.1.10", "192.168.1.30", "10.0.0.20"})
    EXPECT_EQ(ItemOf(ip)->text(0), Status(ip, "tx.success"));
  EXPECT_EQ(Shown(), QStringList({Text("info.operate_completed")}));
  EXPECT_FALSE(op->IsBatchBusy());
}

TEST_F(BatchRunTest, OnePromptServesEveryDeviceOfTheRun) {
  Check({"192.168.1.10", "192.168.1.30", "10.0.0.20"});
  user = "installer";
  password = "s3cret";
  EXPECT_EQ(pm::SendPrivateMessage(op, pm::WM_BATCH_REBOOT), 1);
  EXPECT_EQ(op->selectedCount, 3);
  ASSERT_EQ(Prompts(), 1);
  EXPECT_EQ(shown[0].title, Text("msg.Login_first"));
  const auto logins = library.fake.CallsOf("SdkLogin");
  ASSERT_EQ(logins.size(), 3u);
  // Tree order: MAC order, not IP order.
  EXPECT_EQ(logins[0].Arg(0), "192.168.1.30");
  EXPECT_EQ(logins[1].Arg(0), "10.0.0.20");
  EXPECT_EQ(logins[2].Arg(0), "192.168.1.10");
  for (const FakeCall& c : logins) {
    EXPECT_EQ(c.Arg(1), "34567");
    EXPECT_EQ(c.Arg(2), "installer");
    EXPECT_EQ(c.Arg(3), "s3cret");
  }
  EXPECT_EQ(FirstArgs("SdkReboot"), (std::vector<std::string>{"13", "12", "11"}));
  EXPECT_EQ(FirstArgs("SdkLogout"), (std::vector<std::string>{"13", "12", "11"}));
  for (const char* ip : {"192.168.1.10", "192.168.1.30", "10.0.0.20"}) {
    EXPECT_EQ(ItemOf(ip)->text(0), Status(ip, "tx.success"));
    EXPECT_EQ(Record(ip).loggedIn, 0);
    EXPECT_EQ(Record(ip).loginHandle, 0);
    EXPECT_EQ(Record(ip).batchTouched, 1);
    EXPECT_EQ(LoginCell(ip), Text("tx.unLogin"));
  }
  EXPECT_EQ(Shown(), QStringList({Text("info.operate_completed")}));
  EXPECT_FALSE(op->IsBatchBusy());
}

// Counts the paints a widget gets.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    paints += event->type() == QEvent::Paint;
    return false;
  }
};

TEST_F(BatchRunTest, EachStatusIsPaintedAsItLandsWithoutTheEventLoop) {
  // The page on screen on its own (offscreen), so its tree paints.
  op->setParent(nullptr);
  op->resize(1000, 600);
  op->LayoutPage();
  op->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(op));
  for (const char* ip : {"192.168.1.10", "192.168.1.30", "10.0.0.20"}) LogIn(ip, 40);
  Check({"192.168.1.10", "192.168.1.30", "10.0.0.20"});
  QCoreApplication::processEvents();
  PaintCounter counter;
  op->deviceTree.viewport()->installEventFilter(&counter);
  // The completion notice comes before the run returns to any event loop:
  // what was painted by then, the run painted itself.
  int paintedBeforeNotice = -1;
  answer = [&](const modal::ModalRequest& r) {
    paintedBeforeNotice = counter.paints;
    return r.kind == "tip" ? 1 : 2;
  };
  pm::SendPrivateMessage(op, pm::WM_BATCH_REBOOT);
  op->deviceTree.viewport()->removeEventFilter(&counter);
  EXPECT_GE(paintedBeforeNotice, 3);
}

TEST_F(BatchRunTest, LoggedInDevicesNeedNoPrompt) {
  LogIn("192.168.1.10", 21);
  LogIn("10.0.0.20", 22);
  Check({"192.168.1.10", "10.0.0.20"});
  pm::SendPrivateMessage(op, pm::WM_BATCH_REBOOT);
  EXPECT_EQ(Prompts(), 0);
  EXPECT_EQ(library.fake.CountOf("SdkLogin"), 0);
  EXPECT_EQ(FirstArgs("SdkReboot"), (std::vector<std::string>{"22", "21"}));
  EXPECT_EQ(Shown(), QStringList({Text("info.operate_completed")}));
}

TEST_F(BatchRunTest, CancelledPromptEndsTheRunSilentlyAndFreesTheFlag) {
  LogIn("192.168.1.30", 31);  // first in tree order: done before the prompt
  Check({"192.168.1.30", "10.0.0.20", "192.168.1.10"});
  cancelLogin = true;
  EXPECT_EQ(pm::SendPrivateMessage(op, pm::WM_BATCH_REBOOT), 1);
  EXPECT_EQ(Prompts(), 1);
  EXPECT_EQ(Shown(), QStringList());  // no completion notice
  EXPECT_EQ(FirstArgs("SdkReboot"), (std::vector<std::string>{"31"}));
  EXPECT_EQ(ItemOf("192.168.1.30")->text(0), Status("192.168.1.30", "tx.success"));
  EXPECT_EQ(ItemOf("10.0.0.20")->text(0), "10.0.0.20");
  EXPECT_EQ(Record("10.0.0.20").batchTouched, 0);
  EXPECT_FALSE(op->IsBatchBusy());
  // The next request is accepted.
  cancelLogin = false;
  EXPECT_EQ(pm::SendPrivateMessage(op, pm::WM_BATCH_REBOOT), 1);
  EXPECT_EQ(Shown(), QStringList({Text("info.operate_completed")}));
}

TEST_F(BatchRunTest, FailedLoginIsMarkedAndTheRunGoesOn) {
  library.fake.loginHandles["10.0.0.20"] = 0;  // refused
  Check({"192.168.1.10", "192.168.1.30", "10.0.0.20"});
  pm::SendPrivateMessage(op, pm::WM_BATCH_REBOOT);
  EXPECT_EQ(Prompts(), 1);
  EXPECT_EQ(ItemOf("10.0.0.20")->text(0), Status("10.0.0.20", "info.Login_fail"));
  EXPECT_EQ(Record("10.0.0.20").batchTouched, 1);
  EXPECT_EQ(FirstArgs("SdkReboot"), (std::vector<std::string>{"13", "11"}));
  EXPECT_EQ(ItemOf("192.168.1.10")->text(0), Status("192.168.1.10", "tx.success"));
}

TEST_F(BatchRunTest, RefusedRebootStaysLoggedIn) {
  LogIn("10.0.0.20", 22);
  Check({"10.0.0.20"});
  library.fake.rebootResult = 0;
  pm::SendPrivateMessage(op, pm::WM_BATCH_REBOOT);
  EXPECT_EQ(ItemOf("10.0.0.20")->text(0), Status("10.0.0.20", "tx.fail"));
  EXPECT_EQ(library.fake.CountOf("SdkLogout"), 0);
  EXPECT_EQ(Record("10.0.0.20").loggedIn, 1);
  EXPECT_EQ(Record("10.0.0.20").loginHandle, 22);
}

TEST_F(BatchRunTest, RestoreDefaultsDropsTheLoginWhateverTheDeviceAnswers) {
  LogIn("10.0.0.20", 22);
  Check({"10.0.0.20"});
  library.fake.factoryResetResult = 0;
  EXPECT_EQ(pm::SendPrivateMessage(op, pm::WM_BATCH_DEFAULTS), 1);
  const auto resets = library.fake.CallsOf("SdkFactoryReset");
  ASSERT_EQ(resets.size(), 1u);
  EXPECT_EQ(resets[0].Arg(0), "22");
  EXPECT_EQ(resets[0].Arg(1), std::to_string(0x80000000u));
  EXPECT_EQ(library.fake.CountOf("SdkLogout"), 0);
  EXPECT_EQ(ItemOf("10.0.0.20")->text(0), Status("10.0.0.20", "tx.success"));
  EXPECT_EQ(Record("10.0.0.20").loggedIn, 0);
  EXPECT_EQ(Record("10.0.0.20").loginHandle, 0);
  EXPECT_EQ(LoginCell("10.0.0.20"), Text("tx.unLogin"));
  EXPECT_FALSE(op->defaultsBusy);
}

TEST_F(BatchRunTest, NextRunResetsOnlyTheItemsTheLastRunReached) {
  LogIn("10.0.0.20", 22);
  Check({"10.0.0.20"});
  library.fake.rebootResult = 0;
  pm::SendPrivateMessage(op, pm::WM_BATCH_REBOOT);
  ASSERT_EQ(ItemOf("10.0.0.20")->text(0), Status("10.0.0.20", "tx.fail"));
  op->SetDeviceItemStatus(ItemOf("192.168.1.10"), "left by hand");
  // Now another device only: the old status goes although 10.0.0.20 is not checked.
  ItemOf("10.0.0.20")->setCheckState(0, Qt::Unchecked);
  LogIn("192.168.1.30", 23);
  Check({"192.168.1.30"});
  library.fake.ClearCalls();
  pm::SendPrivateMessage(op, pm::WM_BATCH_REBOOT);
  EXPECT_EQ(ItemOf("10.0.0.20")->text(0), "10.0.0.20");
  EXPECT_EQ(ItemOf("192.168.1.10")->text(0), "192.168.1.10  left by hand");
  EXPECT_EQ(FirstArgs("SdkReboot"), (std::vector<std::string>{"23"}));
}

// --- password -------------------------------------------------------------------

class PasswordRunTest : public BatchRunTest {
 protected:
  // A user table with "operator" in entry 3 and "admin" in entry 17, each
  // entry filled with a pattern that must come back unchanged.
  void SetUp() override {
    BatchRunTest::SetUp();
    library.fake.userTable.assign(kUserTableSize, 0);
    PutUser(3, "operator");
    PutUser(17, "admin");
    PutUser(18, "admin2");
    LogIn("10.0.0.20", 22);
    Check({"10.0.0.20"});
  }

  uint8_t* Entry(int i) { return library.fake.userTable.data() + kUserTableEntriesOffset + i * kUserEntrySize; }

  void PutUser(int i, const char* name) {
    uint8_t* e = Entry(i);
    for (int b = 0; b < kUserEntrySize; ++b) e[b] = static_cast<uint8_t>(0xA0 + (b + i) % 50);
    std::memset(e + kUserEntryNameOffset, 0, 96);
    std::memcpy(e + kUserEntryNameOffset, name, std::strlen(name));
  }

  void Run(const std::string& oldPassword, const std::string& newPassword) {
    pm::SendPrivateMessage(op, pm::WM_BATCH_PASSWORD, reinterpret_cast<pm::WPARAM>(&oldPassword),
                           reinterpret_cast<pm::LPARAM>(&newPassword));
  }
};

TEST_F(PasswordRunTest, ChangesTheEntryOfTheLoggedInUser) {
  Run("admin123", "n3w-Pass");
  const auto tables = library.fake.CallsOf("SdkGetUserTable");
  ASSERT_EQ(tables.size(), 1u);
  EXPECT_EQ(tables[0].Arg(0), "22");
  EXPECT_EQ(tables[0].Arg(2), "30000");
  const auto changes = library.fake.CallsOf("SdkModifyUser");
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].Arg(0), "22");
  EXPECT_EQ(changes[0].Arg(1), "6");
  EXPECT_EQ(changes[0].Arg(4), "1000");

  // Both copies are entry 17 byte for byte, but for the password and its terminator.
  const std::vector<uint8_t>& withNew = library.fake.lastModifiedNewEntry;
  const std::vector<uint8_t>& withOld = library.fake.lastModifiedOldEntry;
  ASSERT_EQ(withNew.size(), static_cast<std::size_t>(kUserEntrySize));
  const auto expectCopy = [&](const std::vector<uint8_t>& copy, const std::string& pw) {
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(copy.data() + kUserEntryPasswordOffset)), pw);
    for (int b = 0; b < kUserEntrySize; ++b) {
      if (b >= kUserEntryPasswordOffset && b <= kUserEntryPasswordOffset + static_cast<int>(pw.size())) continue;
      ASSERT_EQ(copy[b], Entry(17)[b]) << "byte " << b;
    }
  };
  expectCopy(withNew, "n3w-Pass");
  expectCopy(withOld, "admin123");
  EXPECT_EQ(ItemOf("10.0.0.20")->text(0), Status("10.0.0.20", "tx.success"));
  EXPECT_EQ(Record("10.0.0.20").loggedIn, 1);  // still logged in
  EXPECT_EQ(Shown(), QStringList({Text("info.operate_completed")}));
  EXPECT_FALSE(op->passwordBusy);
}

TEST_F(PasswordRunTest, FailuresLeaveTheDeviceLoggedIn) {
  const struct {
    const char* what;
    std::string userName;
    int tableResult;
    int modifyResult;
    int modifyCalls;
  } cases[] = {{"user not in the table", "guest", 1, 1, 0},
               {"name only a prefix of an entry's", "admin2x", 1, 1, 0},
               {"table unreadable", "admin", 0, 1, 0},
               {"change refused", "admin", 1, 0, 1}};
  for (const auto& c : cases) {
    library.fake.ClearCalls();
    Record("10.0.0.20").userName = c.userName;
    library.fake.userTableResult = c.tableResult;
    library.fake.modifyUserResult = c.modifyResult;
    Run("admin123", "n3w");
    EXPECT_EQ(library.fake.CountOf("SdkModifyUser"), c.modifyCalls) << c.what;
    EXPECT_EQ(ItemOf("10.0.0.20")->text(0), Status("10.0.0.20", "tx.fail")) << c.what;
    EXPECT_EQ(Record("10.0.0.20").loggedIn, 1) << c.what;
  }
}

TEST_F(PasswordRunTest, APasswordTooLongForItsFieldIsNotCut) {
  Run("admin123", std::string(96, 'a'));
  EXPECT_EQ(library.fake.CountOf("SdkModifyUser"), 0);
  EXPECT_EQ(ItemOf("10.0.0.20")->text(0), Status("10.0.0.20", "tx.fail"));
}

// --- ports ------------------------------------------------------------------------

class PortRunTest : public BatchRunTest {
 protected:
  void SetUp() override {
    BatchRunTest::SetUp();
    // Blocks whose every byte is set, so a byte not written back as read shows.
    std::vector<uint8_t> ports(kBlockNetworkPortsSize), rtsp(kBlockRtspPortSize);
    for (std::size_t i = 0; i < ports.size(); ++i) ports[i] = static_cast<uint8_t>(i * 7 + 1);
    for (std::size_t i = 0; i < rtsp.size(); ++i) rtsp[i] = static_cast<uint8_t>(i * 5 + 3);
    library.fake.blocks[kBlockNetworkPorts] = ports;
    library.fake.blocks[kBlockRtspPort] = rtsp;
    originalPorts = ports;
    originalRtsp = rtsp;
    LogIn("10.0.0.20", 22);
    Check({"10.0.0.20"});
  }

  void Run(int32_t http, int32_t tcp, uint16_t rtsp) {
    BatchPortsPayload payload{http, tcp, rtsp};
    pm::SendPrivateMessage(op, pm::WM_BATCH_PORTS, reinterpret_cast<pm::WPARAM>(&payload));
  }

  static uint32_t Le(const std::vector<uint8_t>& b, int at, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(b[at + i]) << (8 * i);
    return v;
  }

  std::vector<uint8_t> originalPorts, originalRtsp;
};

TEST_F(PortRunTest, PatchesBothBlocksRebootsAndUpdatesTheRecord) {
  Run(8080, 40000, 8554);
  const auto gets = library.fake.CallsOf("SdkGetParameter");
  ASSERT_EQ(gets.size(), 2u);
  EXPECT_EQ(gets[0].args, (std::vector<std::string>{"22", "81", "-1", "ptr", "772", "ptr", "-1", "0", "0"}));
  EXPECT_EQ(gets[1].args, (std::vector<std::string>{"22", "155", "-1", "ptr", "260", "ptr", "-1", "0", "0"}));
  const auto sets = library.fake.CallsOf("SdkSetParameter");
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0].args, (std::vector<std::string>{"22", "81", "-1", "ptr", "772", "-1"}));
  EXPECT_EQ(sets[1].args, (std::vector<std::string>{"22", "155", "-1", "ptr", "260", "-1"}));

  const std::vector<uint8_t>& ports = library.fake.blocks[kBlockNetworkPorts];
  const std::vector<uint8_t>& rtsp = library.fake.blocks[kBlockRtspPort];
  EXPECT_EQ(Le(ports, 68, 4), 8080u);
  EXPECT_EQ(Le(ports, 72, 4), 40000u);
  EXPECT_EQ(Le(rtsp, 0, 2), 8554u);
  for (int i = 0; i < kBlockNetworkPortsSize; ++i)
    if (i < 68 || i >= 76) {
      ASSERT_EQ(ports[i], originalPorts[i]) << "block 81 byte " << i;
    }
  for (int i = 2; i < kBlockRtspPortSize; ++i) ASSERT_EQ(rtsp[i], originalRtsp[i]) << "block 155 byte " << i;

  EXPECT_EQ(FirstArgs("SdkReboot"), (std::vector<std::string>{"22"}));
  EXPECT_EQ(FirstArgs("SdkLogout"), (std::vector<std::string>{"22"}));
  const DeviceRecord& r = Record("10.0.0.20");
  EXPECT_EQ(r.httpPort, 8080);
  EXPECT_EQ(r.tcpPort, 40000);
  EXPECT_EQ(r.onvifPort, 8080);
  EXPECT_EQ(r.loggedIn, 0);
  EXPECT_EQ(ItemOf("10.0.0.20")->text(0), Status("10.0.0.20", "tx.success"));
  // The device list's port columns follow once the posted notice arrives.
  QCoreApplication::processEvents();
  CDlgDevInfo& list = Main().devInfoPage;
  for (int row = 0; row < list.RowCount(); ++row)
    if (list.RecordAt(row)->ip == "10.0.0.20") {
      EXPECT_EQ(list.CellText(row, kColHttpPort), "8080");
      EXPECT_EQ(list.CellText(row, kColTcpPort), "40000");
    }
}

TEST_F(PortRunTest, OneBlockRefusedIsStillASuccess) {
  const struct {
    int refused;
    uint16_t http;  // what the record holds afterwards
  } cases[] = {{kBlockRtspPort, 8080}, {kBlockNetworkPorts, 80}};
  for (const auto& c : cases) {
    LogIn("10.0.0.20", 22);
    Record("10.0.0.20").httpPort = 80;
    Record("10.0.0.20").tcpPort = 34567;
    library.fake.refusedBlockWrites = {c.refused};
    library.fake.ClearCalls();
    Run(8080, 40000, 8554);
    EXPECT_EQ(ItemOf("10.0.0.20")->text(0), Status("10.0.0.20", "tx.success")) << c.refused;
    EXPECT_EQ(library.fake.CountOf("SdkReboot"), 1) << c.refused;
    EXPECT_EQ(Record("10.0.0.20").httpPort, c.http) << c.refused;
    EXPECT_EQ(Record("10.0.0.20").loggedIn, 0) << c.refused;
  }
}

TEST_F(PortRunTest, NothingWrittenOrReadableIsAFailureWithoutReboot) {
  const struct {
    const char* what;
    int getResult;
    std::vector<int> refused;
  } cases[] = {{"both writes refused", 1, {kBlockNetworkPorts, kBlockRtspPort}}, {"blocks unreadable", 0, {}}};
  for (const auto& c : cases) {
    library.fake.getParameterResult = c.getResult;
    library.fake.refusedBlockWrites = c.refused;
    library.fake.ClearCalls();
    Run(8080, 40000, 8554);
    EXPECT_EQ(ItemOf("10.0.0.20")->text(0), Status("10.0.0.20", "tx.fail")) << c.what;
    EXPECT_EQ(library.fake.CountOf("SdkReboot"), 0) << c.what;
    EXPECT_EQ(library.fake.CountOf("SdkLogout"), 0) << c.what;
    EXPECT_EQ(Record("10.0.0.20").loggedIn, 1) << c.what;
    EXPECT_EQ(Record("10.0.0.20").httpPort, 80) << c.what;
  }
}

TEST_F(PortRunTest, AnOnvifPortOfZeroStaysZero) {
  Record("10.0.0.20").onvifPort = 0;
  Run(8080, 40000, 8554);
  EXPECT_EQ(Record("10.0.0.20").onvifPort, 0);
  EXPECT_EQ(Record("10.0.0.20").httpPort, 8080);
}

TEST_F(PortRunTest, ACancelledPromptPostsNoPortChange) {
  Record("10.0.0.20").loggedIn = 0;
  cancelLogin = true;
  Run(8080, 40000, 8554);
  EXPECT_EQ(library.fake.CountOf("SdkGetParameter"), 0);
  EXPECT_FALSE(op->portsBusy);
  EXPECT_EQ(Shown(), QStringList());
}

}  // namespace
}  // namespace operate_test
