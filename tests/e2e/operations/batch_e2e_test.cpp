// The batch-operation page as an installer uses it, inside the private
// network namespace against the simulator as a separate process: three
// devices of the demo fleet rebooted (they leave and come back with a new
// start time), one password changed, the ports of two devices changed, and
// defaults restored on a re-addressed device, which comes back at its fleet
// address. A device that never answers and one that refuses every write get
// their statuses while the runs go on.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <array>
#include <map>

#include "core/device/device_library.h"
#include "core/language/language.h"
#include "libs/devicelink/devicelink.h"
#include "tests/e2e/support/program_driver.h"
#include "tests/support/private_network.h"
#include "ui/framework/modal_seam.h"
#include "ui/devicelist/device_columns.h"
#include "ui/main/divarod_dlg.h"
#include "ui/devicelist/dlg_login_local.h"
#include "ui/devicelist/dlg_modify_network_new.h"

namespace {

// Demo fleet devices by MAC.
constexpr const char* kLobby = "00:1c:27:a0:00:01";      // 192.168.1.21
constexpr const char* kParking = "00:1c:27:a0:00:02";    // 192.168.1.22
constexpr const char* kGate = "00:1c:27:a0:00:03";       // 192.168.1.23
constexpr const char* kCorridor = "00:1c:27:a0:00:07";   // 192.168.1.25
constexpr const char* kStairwell = "00:1c:27:a0:00:08";  // 192.168.1.26
constexpr const char* kLoadingBay = "00:1c:27:a0:00:09"; // 192.168.1.27
constexpr const char* kRoof = "00:1c:27:a0:00:0b";       // 192.168.1.28
// Added below.
constexpr const char* kSilent = "00:1c:27:a0:00:99";     // accepts, never answers
constexpr const char* kRefusing = "00:1c:27:a0:00:98";   // refuses every block write

using e2e::SearchOnce;
using e2e::WaitUntil;

// The demo fleet, the rebooted devices away long enough that the first
// search after the run surely misses them, and the two extra devices.
QString WriteFleet(const QTemporaryDir& dir) {
  QByteArray text = e2e::ReadFleetText(DEMO_FLEET);
  for (const char* section : {"[lobby-dome]\n", "[parking-bullet]\n", "[gate-ptz]\n"})
    text.replace(section, QByteArray(section) + "reboot_ms=9000\n");
  text += "\n[silent-cam]\nmac=00:1c:27:a0:00:99\nip=192.168.1.50\ntype=IPC\nmodel=DV-S100\n"
          "version=V5.2.4 Build:2026-09-14\ncustomer=C0000\nkind=0\nsilent=1\n"
          "\n[refusing-cam]\nmac=00:1c:27:a0:00:98\nip=192.168.1.51\ntype=IPC\nmodel=DV-S100\n"
          "version=V5.2.4 Build:2026-09-14\ncustomer=C0000\nkind=0\nrefuse_write=all\n";
  return e2e::WriteFleet(dir, text);
}

// Searches until done() holds, at most `searches` times.
bool SearchUntil(CDivarodDlg& dlg, const std::function<bool()>& done, int searches) {
  for (int i = 0; i < searches; ++i) {
    if (!SearchOnce(dlg)) return false;
    if (done()) return true;
  }
  return false;
}

const DeviceRecord* Found(CDivarodDlg& dlg, const std::string& mac) {
  const auto it = dlg.deviceMap.find(mac);
  return it == dlg.deviceMap.end() ? nullptr : &it->second;
}

QTreeWidgetItem* ItemOf(CDlgOperate& page, const std::string& mac) {
  for (int i = 0; i < page.DeviceItemCount(); ++i)
    if (CDlgOperate::RecordOfItem(page.DeviceItem(i))->mac == mac) return page.DeviceItem(i);
  return nullptr;
}

QString ItemText(CDlgOperate& page, const std::string& mac) {
  QTreeWidgetItem* item = ItemOf(page, mac);
  return item ? item->text(0) : QString("(none)");
}

void CheckOnly(CDlgOperate& page, std::initializer_list<const char*> macs) {
  for (int i = 0; i < page.DeviceItemCount(); ++i) page.DeviceItem(i)->setCheckState(0, Qt::Unchecked);
  page.rootItem->setCheckState(0, Qt::Unchecked);
  for (const char* mac : macs) {
    QTreeWidgetItem* item = ItemOf(page, mac);
    ASSERT_NE(item, nullptr) << mac;
    item->setCheckState(0, Qt::Checked);
  }
}

QString Status(CDivarodDlg& dlg, const std::string& mac, const char* key) {
  return QString::fromStdString(Found(dlg, mac)->ip) + "  " + Text(key);
}

// A direct login with the library, as a second program would make it.
bool CanLogIn(const DeviceRecord& record, const char* user, const char* password) {
  std::array<uint8_t, devicelib::kLoginInfoSize> info{};
  int error = 0;
  const int32_t handle =
      devicelib::Lib().SdkLogin(record.ip.c_str(), record.tcpPort, user, password, info.data(), &error, 0, 0);
  if (handle != 0) devicelib::Lib().SdkLogout(handle);
  return handle != 0;
}

TEST(BatchE2e, RebootPasswordPortsAndDefaultsOnTheSimulatedFleet) {
  DIVAROD_REQUIRE_PRIVATE_NETWORK();

  QTemporaryDir work;
  simtest::DevsimProcess sim;
  ASSERT_TRUE(e2e::StartSimulatedFleet(sim, DEVSIM_BIN, WriteFleet(work), work.path()));

  // The user: confirms every question and notice, types the fleet's
  // credentials into the one login prompt of a run, a new address into the
  // network dialog.
  QString typedPassword = "admin123";
  QString newIp;
  QStringList notices;
  int prompts = 0;
  modal::SetAnswerer([&](const modal::ModalRequest& r) {
    if (r.kind == "tip") {
      if (r.icon != 0x20) notices << r.text;
      return 1;
    }
    if (auto* prompt = qobject_cast<CDlgLoginLocal*>(r.dialog)) {
      ++prompts;
      return e2e::TypeLogin(*prompt, typedPassword, "admin");
    }
    if (auto* network = qobject_cast<CDlgModifyNetworkNew*>(r.dialog))
      return e2e::TypeNewAddress(*network, newIp, "admin123");
    return 2;
  });
  devicelink::DeviceLinkLibrary library;
  devicelib::SetDeviceLibrary(&library);
  {
    CDivarodDlg dlg;
    e2e::OpenMainWindow(dlg, work.path());
    CDlgOperate& page = dlg.operatePage;
    ASSERT_TRUE(WaitUntil([&] { return page.DeviceItemCount() >= 18 && !dlg.searching.load(); }, 20000))
        << "items " << page.DeviceItemCount();
    const QString completed = Text("info.operate_completed");

    // --- reboot: three devices and the silent one -------------------------------------
    std::map<std::string, std::string> startTimes;
    for (const char* mac : {kLobby, kParking, kGate}) startTimes[mac] = Found(dlg, mac)->devStartTime;
    CheckOnly(page, {kLobby, kParking, kGate, kSilent});
    page.rebootPage.rebootButton.click();
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(notices, QStringList({completed}));
    for (const char* mac : {kLobby, kParking, kGate}) EXPECT_EQ(ItemText(page, mac), Status(dlg, mac, "tx.success"));
    EXPECT_EQ(ItemText(page, kSilent), Status(dlg, kSilent, "info.Login_fail"));
    EXPECT_FALSE(page.IsBatchBusy());
    notices.clear();

    ASSERT_TRUE(SearchOnce(dlg));
    for (const char* mac : {kLobby, kParking, kGate}) EXPECT_EQ(Found(dlg, mac), nullptr) << mac << " still there";
    ASSERT_TRUE(SearchUntil(
        dlg, [&] { return Found(dlg, kLobby) && Found(dlg, kParking) && Found(dlg, kGate); }, 8));
    for (const char* mac : {kLobby, kParking, kGate}) EXPECT_NE(Found(dlg, mac)->devStartTime, startTimes[mac]) << mac;

    // --- password: one device ------------------------------------------------------------
    prompts = 0;
    CheckOnly(page, {kCorridor});
    page.passwordButton.click();
    page.passwordPage.oldEdit.setText("admin123");
    page.passwordPage.newEdit.setText("N3w-Pass!");
    page.passwordPage.confirmEdit.setText("N3w-Pass!");
    page.passwordPage.modifyButton.click();
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(notices, QStringList({completed}));
    EXPECT_EQ(ItemText(page, kCorridor), Status(dlg, kCorridor, "tx.success"));
    notices.clear();
    EXPECT_FALSE(CanLogIn(*Found(dlg, kCorridor), "admin", "admin123"));
    EXPECT_TRUE(CanLogIn(*Found(dlg, kCorridor), "admin", "N3w-Pass!"));

    // --- ports: two devices and one that refuses every write ----------------------------
    prompts = 0;
    CheckOnly(page, {kStairwell, kLoadingBay, kRefusing});
    page.portsButton.click();
    page.portPage.httpEdit.setText("8088");
    page.portPage.tcpEdit.setText("35000");
    page.portPage.rtspEdit.setText("8554");
    page.portPage.modifyButton.click();
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(notices, QStringList({completed}));
    notices.clear();
    EXPECT_EQ(ItemText(page, kStairwell), Status(dlg, kStairwell, "tx.success"));
    EXPECT_EQ(ItemText(page, kLoadingBay), Status(dlg, kLoadingBay, "tx.success"));
    EXPECT_EQ(ItemText(page, kRefusing), Status(dlg, kRefusing, "tx.fail"));
    QCoreApplication::processEvents();  // the device list's port notice
    CDlgDevInfo& list = dlg.devInfoPage;
    for (int row = 0; row < list.RowCount(); ++row) {
      const std::string mac = list.RecordAt(row)->mac;
      if (mac != kStairwell && mac != kLoadingBay) continue;
      EXPECT_EQ(list.CellText(row, kColHttpPort), "8088") << mac;
      EXPECT_EQ(list.CellText(row, kColTcpPort), "35000") << mac;
    }
    const auto portsTaken = [&] {
      for (const char* mac : {kStairwell, kLoadingBay}) {
        const DeviceRecord* r = Found(dlg, mac);
        if (!r || r->httpPort != 8088 || r->tcpPort != 35000) return false;
      }
      return true;
    };
    EXPECT_TRUE(SearchUntil(dlg, portsTaken, 6));

    // --- defaults: a device moved to another address comes back at its fleet address ---
    newIp = "192.168.1.128";
    int row = -1;
    for (int r = 0; r < list.RowCount(); ++r)
      if (list.RecordAt(r)->mac == kRoof) row = r;
    ASSERT_GE(row, 0);
    list.deviceList.setCurrentItem(list.deviceList.topLevelItem(row));
    list.OnNetworkButton();
    EXPECT_EQ(notices, QStringList({Text("info.operate_success")}));
    notices.clear();
    ASSERT_TRUE(SearchUntil(dlg, [&] { return Found(dlg, kRoof) && Found(dlg, kRoof)->ip == "192.168.1.128"; }, 3));
    prompts = 0;
    CheckOnly(page, {kRoof});
    page.configurationButton.click();
    page.configurationPage.defaultsButton.click();
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(notices, QStringList({completed}));
    EXPECT_EQ(ItemText(page, kRoof), "192.168.1.128  " + Text("tx.success"));
    EXPECT_TRUE(
        SearchUntil(dlg, [&] { return Found(dlg, kRoof) && Found(dlg, kRoof)->ip == "192.168.1.28"; }, 6));

    const QByteArray shots = qgetenv("DIVAROD_SCREENSHOT_DIR");
    if (!shots.isEmpty()) dlg.grab().save(QString::fromLocal8Bit(shots) + "/batch-after-runs.png");
    MainDialogInstance = nullptr;
  }
  devicelib::SetDeviceLibrary(nullptr);
  modal::SetAnswerer({});
  sim.Stop();
}

}  // namespace
