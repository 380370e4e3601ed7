// The configuration import run over the fake device library: per device the
// import, the logout of a device that took it, the refusal that keeps the
// login; the notice after the walk; a cancelled prompt.
#include <set>

#include "tests/ui/upgradeimport/threaded_run_fixture.h"

namespace operate_test {
namespace {

constexpr const char* kFirst = "192.168.1.30";  // tree order: MAC order
constexpr const char* kSecond = "10.0.0.20";

// A library whose devices refuse imports on the logins listed.
class RefusingLibrary : public FakeDeviceLibrary {
 public:
  int SdkImportConfig(int32_t handle, const char* path, int r1, int r2, int r3, int r4, int mode) override {
    const int result = FakeDeviceLibrary::SdkImportConfig(handle, path, r1, r2, r3, r4, mode);
    return refusing.count(handle) ? 0 : result;
  }
  std::set<int32_t> refusing;
};

class ImportRunTest : public ThreadedRunTest {
 protected:
  void SetUp() override {
    ThreadedRunTest::SetUp();
    devices.loginHandles = library.fake.loginHandles;
    devicelib::SetDeviceLibrary(&devices);
  }
  void TearDown() override {
    ThreadedRunTest::TearDown();
    devicelib::SetDeviceLibrary(&library.fake);
  }
  RefusingLibrary devices;
  std::string path = "/exports/V5.2.4.cfg";
};

TEST_F(ImportRunTest, TheSecondDeviceRefusesAndKeepsItsLogin) {
  devices.refusing = {12};
  Check({kFirst, kSecond});
  ASSERT_EQ(Run(pm::WM_BATCH_CONFIG_IMPORT, reinterpret_cast<pm::WPARAM>(&path)), 1);

  const auto imports = devices.CallsOf("SdkImportConfig");
  ASSERT_EQ(imports.size(), 2u);
  EXPECT_EQ(imports[0].args, (std::vector<std::string>{"13", path, "0", "0", "0", "0", "1"}));
  EXPECT_EQ(imports[1].Arg(0), "12");
  EXPECT_EQ(Shown("login").size(), 1u);

  EXPECT_EQ(ItemOf(kFirst)->text(0), Status(kFirst, "tx.success"));
  EXPECT_EQ(Record(kFirst).loggedIn, 0);
  EXPECT_EQ(Record(kFirst).loginHandle, 0);
  EXPECT_EQ(LoginCell(kFirst), Text("tx.unLogin"));

  EXPECT_EQ(ItemOf(kSecond)->text(0), Status(kSecond, "tx.fail"));
  EXPECT_EQ(Record(kSecond).loggedIn, 1);
  EXPECT_EQ(Record(kSecond).loginHandle, 12);
  EXPECT_EQ(LoginCell(kSecond), Text("tx.Logined"));

  std::vector<std::string> logouts;
  for (const FakeCall& c : devices.CallsOf("SdkLogout")) logouts.push_back(c.Arg(0));
  EXPECT_EQ(logouts, std::vector<std::string>{"13"});
  EXPECT_EQ(Shown(), QStringList({Text("info.operate_completed")}));
  EXPECT_FALSE(op->importRun.importBusy);
  EXPECT_EQ(op->importRun.configPath, path);
}

TEST_F(ImportRunTest, FailedLoginsStillEndWithTheNotice) {
  devices.loginHandles.clear();
  Check({kFirst, kSecond});
  ASSERT_EQ(Run(pm::WM_BATCH_CONFIG_IMPORT, reinterpret_cast<pm::WPARAM>(&path)), 1);
  for (const char* ip : {kFirst, kSecond}) {
    EXPECT_EQ(ItemOf(ip)->text(0), Status(ip, "info.Login_fail"));
    EXPECT_EQ(Record(ip).batchTouched, 1);
  }
  EXPECT_EQ(devices.CountOf("SdkImportConfig"), 0);
  EXPECT_EQ(Shown(), QStringList({Text("info.operate_completed")}));
  EXPECT_FALSE(op->importRun.importBusy);
}

TEST_F(ImportRunTest, CancellingThePromptEndsTheRunSilentlyAndTheNextIsTaken) {
  Check({kFirst, kSecond});
  cancelLogin = true;
  ASSERT_EQ(Run(pm::WM_BATCH_CONFIG_IMPORT, reinterpret_cast<pm::WPARAM>(&path)), 1);
  EXPECT_TRUE(Shown().isEmpty());
  EXPECT_FALSE(op->IsBatchBusy());
  EXPECT_EQ(devices.CountOf("SdkImportConfig"), 0);
  EXPECT_EQ(Record(kFirst).batchTouched, 0);

  cancelLogin = false;
  ASSERT_EQ(Run(pm::WM_BATCH_CONFIG_IMPORT, reinterpret_cast<pm::WPARAM>(&path)), 1);
  EXPECT_EQ(devices.CountOf("SdkImportConfig"), 2);
  EXPECT_EQ(Shown(), QStringList({Text("info.operate_completed")}));
}

TEST_F(ImportRunTest, NothingCheckedIsRefusedWithANotice) {
  EXPECT_EQ(pm::SendPrivateMessage(op, pm::WM_BATCH_CONFIG_IMPORT, reinterpret_cast<pm::WPARAM>(&path)), -1);
  EXPECT_EQ(Shown(), QStringList({Text("msg.Sel_dev_first")}));
  EXPECT_FALSE(op->importRun.importBusy);
  EXPECT_TRUE(devices.Calls().empty());
}

}  // namespace
}  // namespace operate_test
