// The commands on one device as an installer uses them, inside the private
// network namespace against the simulator as a separate process: a device's
// configuration is exported through the right-click menu, its model renamed
// and seen in the next search, and the exported file imported back through
// the library brings the old name back. A device that refuses the export
// leaves the file already standing where it was to go.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>

#include "core/device/device_library.h"
#include "core/language/language.h"
#include "libs/devicelink/devicelink.h"
#include "tests/e2e/support/program_driver.h"
#include "tests/support/private_network.h"
#include "ui/framework/modal_seam.h"
#include "ui/devicelist/device_columns.h"
#include "ui/devicelist/device_menu.h"
#include "ui/main/divarod_dlg.h"
#include "ui/devicelist/dlg_login_local.h"
#include "ui/devicelist/dlg_modify_model.h"

namespace {

using e2e::RowOf;
using e2e::SearchOnce;
using e2e::WaitUntil;

constexpr const char* kLobbyMac = "00:1c:27:a0:00:01";     // lobby-dome: model DV-D2204, capabilities 0x09
constexpr const char* kRefuserMac = "00:1c:27:a0:00:98";   // added below: refuses every export

QString WriteFleet(const QTemporaryDir& dir) {
  QByteArray text = e2e::ReadFleetText(DEMO_FLEET);
  text += "\n[export-refuser]\nmac=00:1c:27:a0:00:98\nip=192.168.1.51\ntype=IPC\nmodel=DV-R100\n"
          "version=V5.2.4 Build:2026-09-14\ncustomer=C0000\ncapabilities=0x09\nkind=0\n"
          "users=admin:admin123\nrefuse_export=1\n";
  return e2e::WriteFleet(dir, text);
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(DeviceCommandsE2e, ExportRenameFindAndImportBack) {
  DIVAROD_REQUIRE_PRIVATE_NETWORK();

  QTemporaryDir work;
  simtest::DevsimProcess sim;
  ASSERT_TRUE(e2e::StartSimulatedFleet(sim, DEVSIM_BIN, WriteFleet(work), work.path()));

  // The user: picks the menu entry, the file to save to and the new model
  // name, types the password into the login prompt, confirms every notice.
  int menuChoice = kMenuNone;
  QString savePath;
  QString newModel;
  QStringList notices;
  QStringList offeredNames;
  modal::SetAnswerer([&](const modal::ModalRequest& r) {
    if (r.kind == "tip") {
      notices << r.text;
      return 1;
    }
    if (r.kind == "menu") return menuChoice;
    if (auto* files = qobject_cast<QFileDialog*>(r.dialog)) {
      offeredNames << r.text;
      files->selectFile(savePath);
      return static_cast<int>(QDialog::Accepted);
    }
    if (auto* prompt = qobject_cast<CDlgLoginLocal*>(r.dialog)) return e2e::TypeLogin(*prompt, "admin123");
    if (auto* model = qobject_cast<CDlgModifyModel*>(r.dialog)) {
      model->newModelEdit.setText(newModel);
      model->modifyButton.click();
      return model->result();
    }
    return 2;
  });
  devicelink::DeviceLinkLibrary library;
  devicelib::SetDeviceLibrary(&library);
  {
    CDivarodDlg dlg;
    e2e::OpenMainWindow(dlg, work.path());
    CDlgDevInfo& page = dlg.devInfoPage;
    ASSERT_TRUE(WaitUntil([&] { return page.RowCount() >= 17 && !dlg.searching.load(); }, 20000))
        << "rows " << page.RowCount();
    int row = RowOf(page, kLobbyMac);
    ASSERT_GE(row, 0);
    EXPECT_EQ(page.CellText(row, kColModel), "DV-D2204");

    // Export through the menu: login prompt, the offered name, the file.
    savePath = work.filePath("lobby.coi");
    menuChoice = kMenuExport;
    page.OnDeviceListRightClick(row, kColIp);
    EXPECT_EQ(notices, QStringList({Text("info.operate_success")}));
    notices.clear();
    ASSERT_EQ(offeredNames.size(), 1);
    EXPECT_TRUE(offeredNames[0].startsWith("V5.2.4.ad17 .")) << offeredNames[0].toStdString();
    EXPECT_EQ(offeredNames[0].size(), QString("V5.2.4.ad17 .").size() + 14 + 4);
    EXPECT_TRUE(offeredNames[0].endsWith(".coi"));
    const QByteArray exported = ReadAll(savePath);
    EXPECT_TRUE(exported.startsWith("DIVAROD-DEVICE-CONFIG 1\n"));
    EXPECT_TRUE(exported.contains(QByteArray("mac=") + kLobbyMac));
    EXPECT_EQ(page.CellText(row, kColLoginState), Text("tx.Logined"));

    // Rename the model: the list shows it at once, and the next search too.
    newModel = "Lobby Dome 2";
    menuChoice = kMenuModifyModel;
    page.OnDeviceListRightClick(row, kColModel);
    EXPECT_EQ(notices, QStringList({Text("info.operate_success")}));
    notices.clear();
    EXPECT_EQ(page.CellText(row, kColModel), "Lobby Dome 2");
    ASSERT_TRUE(SearchOnce(dlg));
    row = RowOf(page, kLobbyMac);
    ASSERT_GE(row, 0);
    EXPECT_EQ(page.CellText(row, kColModel), "Lobby Dome 2");
    const QByteArray shots = qgetenv("DIVAROD_SCREENSHOT_DIR");
    if (!shots.isEmpty()) dlg.grab().save(QString::fromLocal8Bit(shots) + "/device-list-after-rename.png");

    // The exported file, imported back through the library, brings the old name back.
    menuChoice = kMenuLogin;
    page.OnDeviceListRightClick(row, kColIp);
    DeviceRecord* record = page.RecordAt(row);
    ASSERT_EQ(record->loggedIn, 1);
    EXPECT_EQ(library.SdkImportConfig(record->loginHandle, savePath.toUtf8().constData(), 0, 0, 0, 0, 1), 1);
    ASSERT_TRUE(SearchOnce(dlg));
    row = RowOf(page, kLobbyMac);
    ASSERT_GE(row, 0);
    EXPECT_EQ(page.CellText(row, kColModel), "DV-D2204");

    // A device that refuses the export: the notice, and the file that stood
    // at the chosen path is still whole.
    const int refuser = RowOf(page, kRefuserMac);
    ASSERT_GE(refuser, 0);
    menuChoice = kMenuExport;
    page.OnDeviceListRightClick(refuser, kColIp);
    EXPECT_EQ(notices, QStringList({Text("info.operate_fail")}));
    EXPECT_EQ(ReadAll(savePath), exported);
    EXPECT_EQ(QDir(work.path()).entryList({"lobby.coi*"}, QDir::Files), QStringList({"lobby.coi"}));
    MainDialogInstance = nullptr;
  }
  devicelib::SetDeviceLibrary(nullptr);
  modal::SetAnswerer({});
  sim.Stop();
}

}  // namespace
