// Logging in the list's devices: the prompt per device, the cached login, the
// batch prompt once per run, the login-state cell and retiring a login.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>

#include "core/language/language.h"
#include "tests/ui/devinfo/device_page_fixture.h"
#include "ui/devicelist/dlg_login_local.h"

namespace devlist_test {
namespace {

// Answers a login prompt as a user would: types the password, presses OK.
int TypePasswordAndConfirm(const modal::ModalRequest& request, const QString& user, const QString& password) {
  auto* prompt = qobject_cast<CDlgLoginLocal*>(request.dialog);
  if (!prompt) return 2;
  prompt->userEdit.setText(user);
  prompt->passwordEdit.setText(password);
  prompt->okButton.click();
  return prompt->result();
}

class DeviceLogin : public DevicePageTest {
 protected:
  void SetUp() override {
    DevicePageTest::SetUp();
    FinishSearch({MakeDevice("00:00:00:00:00:01", "10.0.0.1"), MakeDevice("00:00:00:00:00:02", "10.0.0.2"),
                  MakeDevice("00:00:00:00:00:03", "10.0.0.3")});
    answer = [this](const modal::ModalRequest& r) {
      if (r.kind != "login") return 1;
      prompts.push_back(qobject_cast<CDlgLoginLocal*>(r.dialog)->showIp);
      return cancelPrompt ? 2 : TypePasswordAndConfirm(r, "installer", "pa55");
    };
  }
  std::vector<bool> prompts;  // showIp of every prompt shown
  bool cancelPrompt = false;
};

TEST_F(DeviceLogin, PromptLogsInAndTheNextCallUsesTheCachedLogin) {
  library.fake.loginHandles["10.0.0.2"] = 77;
  DeviceRecord* record = nullptr;
  int error = 5;
  ASSERT_EQ(page->LoginDevice(1, &record, &error), 1);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->mac, "00:00:00:00:00:02");
  EXPECT_EQ(record->loginHandle, 77);
  EXPECT_EQ(record->loggedIn, 1);
  EXPECT_EQ(record->userName, "installer");
  EXPECT_EQ(record->password, "pa55");
  EXPECT_EQ(error, 0);
  EXPECT_EQ(page->CellText(1, kColLoginState), "tx.Logined");
  const FakeCall login = library.fake.CallsOf("SdkLogin").at(0);
  EXPECT_EQ(login.Arg(0), "10.0.0.2");
  EXPECT_EQ(login.Arg(1), "34567");
  EXPECT_EQ(login.Arg(2), "installer");
  EXPECT_EQ(login.Arg(3), "pa55");

  ASSERT_EQ(page->LoginDevice(1, &record, &error), 1);
  EXPECT_EQ(error, -10);
  EXPECT_EQ(prompts.size(), 1u);
  EXPECT_EQ(library.fake.CountOf("SdkLogin"), 1);
}

TEST_F(DeviceLogin, PromptShowsTheDeviceIpAndStartsWithAdmin) {
  answer = [](const modal::ModalRequest& r) {
    auto* prompt = qobject_cast<CDlgLoginLocal*>(r.dialog);
    EXPECT_TRUE(prompt->ipEdit.isVisibleTo(prompt));
    EXPECT_FALSE(prompt->ipEdit.isEnabled());
    EXPECT_EQ(prompt->ipEdit.text(), "10.0.0.3");
    EXPECT_EQ(prompt->userEdit.text(), "admin");
    EXPECT_EQ(prompt->titleStatic.text(), "msg.Login");
    return 2;
  };
  int error = 0;
  DeviceRecord* record = nullptr;
  for (int i = 0; i < 2; ++i) EXPECT_EQ(page->LoginDevice(2, &record, &error), -2);
  EXPECT_EQ(record->userName, "");
  EXPECT_EQ(library.fake.CountOf("SdkLogin"), 0);
  EXPECT_EQ(page->CellText(2, kColLoginState), "tx.unLogin");
}

TEST_F(DeviceLogin, RefusedLoginMarksTheCellAndTheDoubleClickShowsTheReason) {
  QTemporaryDir dir;
  const QString path = dir.filePath("t.lang");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[String]\ninfo.login_fail_s=Login failed: %s\ninfo.login_password_err=Wrong password\n"
          "info.login_timeout=Timed out\n");
  f.close();
  ASSERT_TRUE(GetThreadLanguage()->LoadFile(path, 1));

  struct {
    int libraryError;
    const char* notice;
  } cases[] = {{1, "Login failed: Wrong password"}, {3, "Login failed: Timed out"},
               {8, "Login failed: "},  // a code without a reason
               {12, "Login failed: "}, {-5, "Login failed: "}};  // outside the table
  for (const auto& c : cases) {
    shown.clear();
    library.fake.loginError = c.libraryError;
    page->SetCellText(0, kColLoginState, "stale");
    page->OnDeviceListDblClk(0, kColLoginState);
    EXPECT_EQ(Shown(), QStringList({c.notice})) << c.libraryError;
    EXPECT_EQ(page->CellText(0, kColLoginState), "tx.unLogin");
    EXPECT_EQ(page->RecordAt(0)->loggedIn, 0);
    EXPECT_EQ(page->RecordAt(0)->userName, "");
  }
  GetThreadLanguage()->LoadFile("", 1);
}

TEST_F(DeviceLogin, CancelledDoubleClickLoginShowsNothing) {
  cancelPrompt = true;
  page->OnDeviceListDblClk(0, kColLoginState);
  EXPECT_TRUE(Shown().isEmpty());
  EXPECT_EQ(prompts.size(), 1u);
}

TEST_F(DeviceLogin, TimersSearchDuringThePromptIsDroppedAndTheRecordSurvives) {
  library.fake.defaultLoginHandle = 9;
  library.fake.searchRecords = {MakeDevice("00:00:00:00:00:09", "10.9.9.9")};
  answer = [this](const modal::ModalRequest& r) {
    if (r.kind != "login") return 1;
    page->searchFromTimer = 1;  // timer 101 fires inside the prompt's modal loop
    Main().OnTimer(CDivarodDlg::kPeriodicSearchTimer);
    QCoreApplication::processEvents();
    return TypePasswordAndConfirm(r, "admin", "pw");
  };
  page->OnDeviceListDblClk(0, kColLoginState);
  QCoreApplication::processEvents();
  EXPECT_EQ(library.fake.CountOf("SDK_SearchDevices_v1_v3_MultiEth"), 0);
  EXPECT_TRUE(Shown().isEmpty());
  EXPECT_EQ(page->RecordAt(0)->loggedIn, 1);
  EXPECT_EQ(page->CellText(0, kColLoginState), "tx.Logined");
  EXPECT_EQ(page->deviceCommandRunning, 0);
  page->RequestSearch();  // afterwards the page is idle again
  ASSERT_TRUE(ProcessUntil([&] { return library.fake.CountOf("SDK_SearchDevices_v1_v3_MultiEth") == 1; }));
  ProcessUntil([&] { return !Main().searching && page->searchButton.isEnabled(); });
}

TEST_F(DeviceLogin, RowWithoutADeviceIsRefused) {
  DeviceRecord* record = reinterpret_cast<DeviceRecord*>(0x1);
  int error = 0;
  EXPECT_EQ(page->LoginDevice(7, &record, &error), -1);
  EXPECT_EQ(record, nullptr);
  EXPECT_TRUE(prompts.empty());
}

TEST_F(DeviceLogin, BatchRunPromptsOnceWithoutTheIpRow) {
  library.fake.loginHandles = {{"10.0.0.1", 11}, {"10.0.0.3", 13}};  // 10.0.0.2 refuses
  bool ask = true;
  std::string user, password;
  int results[3];
  for (int row = 0; row < 3; ++row) {
    int error = 0;
    results[row] = page->BatchLogin(ask, page->RecordAt(row), error, user, password);
  }
  EXPECT_EQ(results[0], 1);
  EXPECT_EQ(results[1], -1);
  EXPECT_EQ(results[2], 1);
  EXPECT_EQ(prompts, std::vector<bool>({false}));  // once, and without the IP row
  EXPECT_FALSE(ask);
  EXPECT_EQ(user, "installer");
  EXPECT_EQ(password, "pa55");
  for (const FakeCall& call : library.fake.CallsOf("SdkLogin")) {
    EXPECT_EQ(call.Arg(2), "installer");
    EXPECT_EQ(call.Arg(3), "pa55");
  }
  EXPECT_EQ(Column(kColLoginState), QStringList({"tx.Logined", "tx.unLogin", "tx.Logined"}));
  EXPECT_EQ(page->RecordAt(2)->loginHandle, 13);
  EXPECT_EQ(page->RecordAt(2)->userName, "installer");
  EXPECT_EQ(page->RecordAt(1)->loggedIn, 0);
}

TEST_F(DeviceLogin, BatchLoginOfALoggedInDeviceTouchesNothing) {
  page->RecordAt(0)->loggedIn = 1;
  bool ask = true;
  std::string user = "u", password = "p";
  int error = 42;
  EXPECT_EQ(page->BatchLogin(ask, page->RecordAt(0), error, user, password), 1);
  EXPECT_TRUE(ask);
  EXPECT_EQ(error, 42);
  EXPECT_TRUE(prompts.empty());
  EXPECT_EQ(library.fake.CountOf("SdkLogin"), 0);
}

TEST_F(DeviceLogin, CancelledBatchPromptEndsTheRun) {
  cancelPrompt = true;
  bool ask = true;
  std::string user, password;
  int error = 0;
  EXPECT_EQ(page->BatchLogin(ask, page->RecordAt(0), error, user, password), -2);
  EXPECT_FALSE(ask);
  EXPECT_EQ(library.fake.CountOf("SdkLogin"), 0);
}

TEST_F(DeviceLogin, BatchPromptFromAWorkerThreadRunsOnTheUiThread) {
  library.fake.defaultLoginHandle = 5;
  std::atomic<int> result{0};  // polled by the UI thread while the worker runs
  bool ask = true;
  std::string user, password;
  std::thread worker([&] {
    int error = 0;
    result = page->BatchLogin(ask, page->RecordAt(0), error, user, password);
  });
  ASSERT_TRUE(ProcessUntil([&] { return result != 0; }));
  worker.join();
  EXPECT_EQ(result, 1);
  EXPECT_EQ(page->CellText(0, kColLoginState), "tx.Logined");
}

TEST_F(DeviceLogin, SetLoginStateByMac) {
  EXPECT_EQ(page->SetLoginState("00:00:00:00:00:02", 1), 1);
  EXPECT_EQ(page->CellText(1, kColLoginState), "tx.Logined");
  EXPECT_EQ(page->RecordAt(1)->loggedIn, 1);
  EXPECT_EQ(page->SetLoginState("00:00:00:00:00:02", 0), 1);
  EXPECT_EQ(page->CellText(1, kColLoginState), "tx.unLogin");
  EXPECT_EQ(page->SetLoginState("00:00:00:00:00:99", 1), -1);
  EXPECT_EQ(page->SetLoginState("00:00:00:00:00:0", 1), -1);  // byte for byte, no prefix
  EXPECT_EQ(Column(kColLoginState), QStringList({"tx.unLogin", "tx.unLogin", "tx.unLogin"}));
  FinishSearch({});
  EXPECT_EQ(page->SetLoginState("00:00:00:00:00:01", 1), -1);
}

TEST_F(DeviceLogin, RetiringAnUnusedLoginKeepsAZeroHandle) {
  DeviceRecord* record = page->RecordAt(0);
  record->ip = "10.9.9.9";  // the network change has just rewritten it
  EXPECT_EQ(page->RetireDeviceLogin(record, 0), 1);
  EXPECT_EQ(Main().retiredLoginHandles, RetiredLoginHandles({0}));
  EXPECT_EQ(page->CellText(0, kColIp), "10.9.9.9");
  EXPECT_EQ(page->CellText(0, kColLoginState), "tx.unLogin");

  DeviceRecord* logged = page->RecordAt(1);
  logged->loggedIn = 1;
  logged->loginHandle = 99;
  page->RetireDeviceLogin(logged, 1);
  EXPECT_EQ(Main().retiredLoginHandles, RetiredLoginHandles({0, 99}));
  EXPECT_EQ(logged->loggedIn, 0);
  EXPECT_EQ(logged->loginHandle, 0);
}

}  // namespace
}  // namespace devlist_test
