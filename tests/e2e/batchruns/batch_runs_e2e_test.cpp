// The batch page's threaded runs as an installer uses them, inside the private
// network namespace against the simulator as a separate process: a firmware
// upgrade of three devices of which one stalls and one fails, and the import
// of a configuration exported from one device into two, one of which refuses,
// and both runs with a FIFO chosen as their file.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "core/device/device_library.h"
#include "core/language/language.h"
#include "libs/devicelink/devicelink.h"
#include "tests/support/late_fifo_writer.h"
#include "tests/e2e/support/program_driver.h"
#include "tests/support/private_network.h"
#include "ui/framework/modal_seam.h"
#include "ui/devicelist/device_columns.h"
#include "ui/main/divarod_dlg.h"
#include "ui/devicelist/dlg_login_local.h"

namespace {

// Tree order is MAC order.
constexpr const char* kGood = "192.168.1.11";
constexpr const char* kStalls = "192.168.1.12";
constexpr const char* kFails = "192.168.1.13";
constexpr const char* kRefuses = "192.168.1.14";

using e2e::WaitUntil;

QString WriteFleet(const QTemporaryDir& dir) {
  const QByteArray text =
      "[fleet]\nanswer_spread_ms=100\n"
      "[defaults]\nusers=admin:admin123\nupgrade_write_ms=400\nreboot_ms=800\nversion=V5.2.4 Build:2026-09-14\n"
      "[good]\nmac=02:00:00:00:00:01\nip=192.168.1.11\n"
      "[stalls]\nmac=02:00:00:00:00:02\nip=192.168.1.12\nupgrade_stall_at=30\n"
      "[fails]\nmac=02:00:00:00:00:03\nip=192.168.1.13\nupgrade_fail_at=40\n"
      "[refuses]\nmac=02:00:00:00:00:04\nip=192.168.1.14\nrefuse_import=1\n";
  return e2e::WriteFleet(dir, text);
}

class BatchRunsE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    DIVAROD_REQUIRE_PRIVATE_NETWORK();
    ASSERT_TRUE(e2e::StartSimulatedFleet(sim, DEVSIM_BIN, WriteFleet(work), work.path()));
    // The user types the password into the run's one prompt and confirms
    // every notice.
    modal::SetAnswerer([this](const modal::ModalRequest& r) {
      if (r.kind == "tip") {
        notices << r.text;
        return 1;
      }
      if (auto* prompt = qobject_cast<CDlgLoginLocal*>(r.dialog)) {
        ++prompts;
        return e2e::TypeLogin(*prompt, "admin123");
      }
      return 2;
    });
    devicelib::SetDeviceLibrary(&library);
    dlg = std::make_unique<CDivarodDlg>();
    e2e::OpenMainWindow(*dlg, work.path());
    ASSERT_TRUE(WaitUntil([&] { return dlg->operatePage.DeviceItemCount() == 4 && !dlg->searching.load(); }, 20000));
    notices.clear();
  }

  void TearDown() override {
    if (dlg) {
      EXPECT_TRUE(WaitUntil([&] { return !Page().WorkersRunning(); }, 10000));
      MainDialogInstance = nullptr;
      dlg.reset();
    }
    devicelib::SetDeviceLibrary(nullptr);
    modal::SetAnswerer({});
  }

  CDlgOperate& Page() { return dlg->operatePage; }

  QTreeWidgetItem* ItemOf(const std::string& ip) {
    for (int i = 0; i < Page().DeviceItemCount(); ++i)
      if (CDlgOperate::RecordOfItem(Page().DeviceItem(i))->ip == ip) return Page().DeviceItem(i);
    return nullptr;
  }
  DeviceRecord& Record(const std::string& ip) { return *CDlgOperate::RecordOfItem(ItemOf(ip)); }
  QString Text(const std::string& ip) { return ItemOf(ip)->text(0); }
  static QString Status(const std::string& ip, const char* key) {
    return QString::fromStdString(ip) + "  " + ::Text(QString::fromLatin1(key));
  }
  void Check(std::initializer_list<const char*> ips) {
    for (const char* ip : ips) ItemOf(ip)->setCheckState(0, Qt::Checked);
  }
  QString LoginCell(const std::string& ip) {
    CDlgDevInfo& list = dlg->devInfoPage;
    for (int row = 0; row < list.RowCount(); ++row)
      if (list.RecordAt(row)->ip == ip) return list.CellText(row, kColLoginState);
    return {};
  }

  QTemporaryDir work;
  simtest::DevsimProcess sim;
  devicelink::DeviceLinkLibrary library;
  std::unique_ptr<CDivarodDlg> dlg;
  QStringList notices;
  int prompts = 0;
};

TEST_F(BatchRunsE2e, UpgradeOfThreeWhereOneStallsAndOneFails) {
  const QString firmware = work.filePath("firmware.bin");
  {
    QFile out(firmware);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    QByteArray image(300 * 1024, '\0');
    for (int i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 31 + 7);
    out.write(image);
  }
  const std::string startedBefore = Record(kGood).devStartTime;
  Check({kGood, kStalls, kFails});
  Page().upgradePage.upgradeFilePath = firmware.toStdString();
  ASSERT_EQ(pm::SendPrivateMessage(&Page(), pm::WM_BATCH_UPGRADE), 1);

  // The good device finishes, the failing one reports its failure, and the
  // stalling one stops at 30 percent of its writing (shown as 65%).
  ASSERT_TRUE(WaitUntil([&] { return Text(kGood) == Status(kGood, "tx.success"); }, 30000)) << Text(kGood).toStdString();
  ASSERT_TRUE(WaitUntil([&] { return Text(kFails) == Status(kFails, "tx.fail"); }, 30000)) << Text(kFails).toStdString();
  ASSERT_TRUE(WaitUntil([&] { return Text(kStalls) == QString(kStalls) + "  65%"; }, 30000))
      << Text(kStalls).toStdString();
  EXPECT_EQ(prompts, 1);
  EXPECT_TRUE(notices.isEmpty());
  EXPECT_TRUE(Page().upgradeRun.upgradeBusy);

  // Timer 1's ticks: the stalled device is given up at the second.
  Page().OnUpgradeWatchdog(CDlgOperate::kWatchdogTimer);
  EXPECT_EQ(Text(kStalls), QString(kStalls) + "  65%");
  Page().OnUpgradeWatchdog(CDlgOperate::kWatchdogTimer);
  EXPECT_EQ(Text(kStalls), Status(kStalls, "tx.fail"));
  EXPECT_EQ(notices, QStringList({::Text("info.operate_completed")}));
  EXPECT_FALSE(Page().upgradeRun.upgradeBusy);
  EXPECT_EQ(Page().upgradeRun.successCount, 1);
  EXPECT_EQ(Page().upgradeRun.failureCount, 2);
  for (const char* ip : {kGood, kStalls, kFails}) EXPECT_EQ(LoginCell(ip), ::Text("tx.unLogin")) << ip;
  EXPECT_EQ(library.HeldFirmwareImages(), 0u);

  // The upgraded device restarts and is found again with a new start time.
  bool back = false;
  for (int attempt = 0; attempt < 6 && !back; ++attempt) {
    ASSERT_TRUE(WaitUntil([&] { return !dlg->searching.load(); }, 15000));
    dlg->devInfoPage.RequestSearch();
    ASSERT_TRUE(WaitUntil([&] { return dlg->searching.load(); }, 5000));
    ASSERT_TRUE(WaitUntil([&] { return !dlg->searching.load(); }, 15000));
    QCoreApplication::processEvents();
    const auto it = dlg->deviceMap.find("02:00:00:00:00:01");
    back = it != dlg->deviceMap.end() && it->second.devStartTime != startedBefore;
  }
  EXPECT_TRUE(back);
}

TEST_F(BatchRunsE2e, ConfigurationFromOneDeviceIntoTwoWhereTheSecondRefuses) {
  // Exported from the first device, as the device list's export does.
  const std::string exported = work.filePath("good.cfg").toStdString();
  {
    int error = 0;
    uint8_t info[devicelib::kLoginInfoSize] = {};
    const int32_t login = library.SdkLogin(kGood, Record(kGood).tcpPort, "admin", "admin123", info, &error, 0, 0);
    ASSERT_NE(login, 0) << error;
    ASSERT_EQ(library.SdkExportConfig(login, 0, exported.c_str(), 0, 0), 1);
    library.SdkLogout(login);
  }
  Check({kFails, kRefuses});
  std::string path = exported;
  ASSERT_EQ(pm::SendPrivateMessage(&Page(), pm::WM_BATCH_CONFIG_IMPORT, reinterpret_cast<pm::WPARAM>(&path)), 1);
  ASSERT_TRUE(WaitUntil([&] { return !Page().importRun.importBusy; }, 60000));

  EXPECT_EQ(Text(kFails), Status(kFails, "tx.success"));
  EXPECT_EQ(Record(kFails).loggedIn, 0);
  EXPECT_EQ(LoginCell(kFails), ::Text("tx.unLogin"));
  EXPECT_EQ(Text(kRefuses), Status(kRefuses, "tx.fail"));
  EXPECT_EQ(Record(kRefuses).loggedIn, 1);
  EXPECT_EQ(LoginCell(kRefuses), ::Text("tx.Logined"));
  EXPECT_EQ(prompts, 1);
  EXPECT_EQ(notices, QStringList({::Text("info.operate_completed")}));
}

// A FIFO chosen as the firmware file or as the configuration file fails at
// once for every device (it is never opened), and each run ends as a run
// with failures does, so Quit and the next batch command are accepted again.
TEST_F(BatchRunsE2e, FifoChosenAsTheFileFailsEveryDeviceAtOnce) {
  testsupport::LateFifoWriter fifo(work.filePath("chosen.bin").toStdString(), std::chrono::minutes(5));
  ASSERT_TRUE(fifo.made());
  Check({kGood, kFails});

  Page().upgradePage.upgradeFilePath = fifo.path();
  ASSERT_EQ(pm::SendPrivateMessage(&Page(), pm::WM_BATCH_UPGRADE), 1);
  const bool upgradeEnded = WaitUntil([&] { return !Page().upgradeRun.upgradeBusy; }, 30000);
  EXPECT_TRUE(upgradeEnded) << "the upgrade run waits on the FIFO";
  for (const char* ip : {kGood, kFails}) EXPECT_EQ(Text(ip).toStdString(), Status(ip, "tx.fail").toStdString());
  EXPECT_EQ(Page().upgradeRun.failureCount, 2);
  EXPECT_EQ(notices, QStringList({::Text("info.operate_completed")}));
  if (!upgradeEnded) fifo.ReleaseReaders(std::chrono::seconds(10));

  notices.clear();
  std::string path = fifo.path();
  ASSERT_EQ(pm::SendPrivateMessage(&Page(), pm::WM_BATCH_CONFIG_IMPORT, reinterpret_cast<pm::WPARAM>(&path)), 1);
  const bool importEnded = WaitUntil([&] { return !Page().importRun.importBusy; }, 30000);
  EXPECT_TRUE(importEnded) << "the import run waits on the FIFO";
  for (const char* ip : {kGood, kFails}) EXPECT_EQ(Text(ip).toStdString(), Status(ip, "tx.fail").toStdString());
  EXPECT_EQ(notices, QStringList({::Text("info.operate_completed")}));
  if (!importEnded) fifo.ReleaseReaders(std::chrono::seconds(10));
}

}  // namespace
