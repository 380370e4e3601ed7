// The device list page as an installer uses it, inside the private network
// namespace against the simulator as a separate process: the demo fleet is
// found, a device is logged in through the prompt, one device of each
// datagram kind is re-addressed, and the next search lists both at their new
// addresses, where they take logins. A wrong password and a device that never
// answers give their notices.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

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

using e2e::RowOf;
using e2e::SearchOnce;
using e2e::WaitUntil;

constexpr const char* kAuthenticatedMac = "00:1c:27:a0:00:01";  // lobby-dome, capabilities 0x09
constexpr const char* kPlainMac = "00:1c:27:a0:00:02";          // parking-bullet, capabilities 0x01
constexpr const char* kSilentMac = "00:1c:27:a0:00:99";         // added below: accepts, never answers

// The demo fleet and one device that accepts connections and answers nothing.
QString WriteFleet(const QTemporaryDir& dir) {
  QByteArray text = e2e::ReadFleetText(DEMO_FLEET);
  text += "\n[silent-cam]\nmac=00:1c:27:a0:00:99\nip=192.168.1.50\ntype=IPC\nmodel=DV-S100\n"
          "cloud_id=DV8H2K4M9Q7T0099\nversion=V5.2.4 Build:2026-09-14\ncustomer=C0000\ncapabilities=0x00\n"
          "kind=0\nsilent=1\n";
  return e2e::WriteFleet(dir, text);
}

// What the failure notice of a refused login starts with.
QString LoginFailurePrefix() {
  const QString format = Text("info.login_fail_s");
  return format.left(format.indexOf("%s"));
}

TEST(DeviceListE2e, FindsLogsInReaddressesAndFindsAgain) {
  DIVAROD_REQUIRE_PRIVATE_NETWORK();

  QTemporaryDir work;
  simtest::DevsimProcess sim;
  ASSERT_TRUE(e2e::StartSimulatedFleet(sim, DEVSIM_BIN, WriteFleet(work), work.path()));

  // The user: types a password into login prompts, a new address into the
  // network dialog, and confirms every notice.
  QString typedPassword = "admin123";
  QString newIp;
  QStringList notices;
  modal::SetAnswerer([&](const modal::ModalRequest& r) {
    if (r.kind == "tip") {
      notices << r.text;
      return 1;
    }
    if (auto* prompt = qobject_cast<CDlgLoginLocal*>(r.dialog)) return e2e::TypeLogin(*prompt, typedPassword);
    if (auto* network = qobject_cast<CDlgModifyNetworkNew*>(r.dialog))
      return e2e::TypeNewAddress(*network, newIp, "admin123");
    return 2;
  });
  devicelink::DeviceLinkLibrary library;
  devicelib::SetDeviceLibrary(&library);
  {
    CDivarodDlg dlg;
    e2e::OpenMainWindow(dlg, work.path());
    CDlgDevInfo& page = dlg.devInfoPage;

    // The first search runs by itself once the window is up.
    ASSERT_TRUE(WaitUntil([&] { return page.RowCount() >= 17 && !dlg.searching.load(); }, 20000))
        << "rows " << page.RowCount();
    EXPECT_EQ(page.countText.text(), "17");
    EXPECT_TRUE(notices.isEmpty()) << notices.join(" | ").toStdString();

    // Log in through the prompt, then the same device again without one.
    int row = RowOf(page, kAuthenticatedMac);
    ASSERT_GE(row, 0);
    page.OnDeviceListDblClk(row, kColLoginState);
    EXPECT_EQ(page.CellText(row, kColLoginState), Text("tx.Logined"));
    EXPECT_EQ(page.RecordAt(row)->userName, "admin");
    int error = 0;
    DeviceRecord* record = nullptr;
    EXPECT_EQ(page.LoginDevice(row, &record, &error), 1);
    EXPECT_EQ(error, -10);
    EXPECT_TRUE(notices.isEmpty()) << notices.join(" | ").toStdString();

    // A wrong password and a device that never answers.
    typedPassword = "not-the-password";
    page.OnDeviceListDblClk(RowOf(page, kPlainMac), kColLoginState);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].startsWith(LoginFailurePrefix())) << notices[0].toStdString();
    EXPECT_EQ(page.CellText(RowOf(page, kPlainMac), kColLoginState), Text("tx.unLogin"));
    typedPassword = "admin123";
    page.OnDeviceListDblClk(RowOf(page, kSilentMac), kColLoginState);
    ASSERT_EQ(notices.size(), 2);
    EXPECT_TRUE(notices[1].startsWith(LoginFailurePrefix())) << notices[1].toStdString();
    notices.clear();

    // One device of each datagram kind gets a new address through NET.
    struct Change {
      const char* mac;
      const char* ip;
    } changes[] = {{kAuthenticatedMac, "192.168.1.121"}, {kPlainMac, "192.168.1.122"}};
    for (const Change& change : changes) {
      newIp = change.ip;
      row = RowOf(page, change.mac);
      page.deviceList.setCurrentItem(page.deviceList.topLevelItem(row));
      page.OnNetworkButton();
      EXPECT_EQ(notices, QStringList({Text("info.operate_success")})) << change.mac;
      notices.clear();
      EXPECT_EQ(page.CellText(row, kColIp), change.ip);
      EXPECT_EQ(page.CellText(row, kColLoginState), Text("tx.unLogin"));
    }
    EXPECT_EQ(dlg.retiredLoginHandles.size(), 2u);

    // The next search finds both at their new addresses.
    ASSERT_TRUE(SearchOnce(dlg));
    EXPECT_TRUE(notices.isEmpty()) << notices.join(" | ").toStdString();
    EXPECT_EQ(page.RowCount(), 17);
    for (const Change& change : changes) {
      const int found = RowOf(page, change.mac);
      ASSERT_GE(found, 0) << change.mac;
      EXPECT_EQ(page.CellText(found, kColIp), change.ip) << change.mac;
      EXPECT_EQ(page.CellText(found, kColLoginState), Text("tx.unLogin"));
    }
    EXPECT_TRUE(dlg.retiredLoginHandles.empty());

    // Both take a login at their new addresses.
    for (const Change& change : changes) {
      const int found = RowOf(page, change.mac);
      ASSERT_GE(found, 0) << change.mac;
      page.OnDeviceListDblClk(found, kColLoginState);
      EXPECT_TRUE(notices.isEmpty()) << change.mac << ": " << notices.join(" | ").toStdString();
      notices.clear();
      EXPECT_EQ(page.CellText(found, kColLoginState), Text("tx.Logined")) << change.mac;
      EXPECT_EQ(page.RecordAt(found)->ip, change.ip);
    }

    const QByteArray shots = qgetenv("DIVAROD_SCREENSHOT_DIR");
    if (!shots.isEmpty()) dlg.grab().save(QString::fromLocal8Bit(shots) + "/device-list-after-readdress.png");
    MainDialogInstance = nullptr;
  }
  devicelib::SetDeviceLibrary(nullptr);
  modal::SetAnswerer({});
  sim.Stop();
}

}  // namespace
