// Renders the device list page in its main window, the login prompt and the
// two shapes of the network dialog to PNG files, offscreen, for a person to
// look at: render_devlist <folder>.
#include <QApplication>
#include <QTimer>

#include "tests/support/fake_device_library.h"
#include "tests/ui/controls/render_program.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/divarod_dlg.h"
#include "ui/devicelist/dlg_login_local.h"
#include "ui/devicelist/dlg_modify_network_new.h"

namespace {

std::vector<DeviceRecord> Fleet() {
  std::vector<DeviceRecord> fleet;
  const char* types[] = {"IPC", "NVR", "IPC", "DVR", "IPC", "IPC", "NVR", "IPC"};
  for (int i = 0; i < 8; ++i) {
    DeviceRecord r;
    r.valid = true;
    r.mac = "00:1a:2b:3c:4d:" + QString::number(0x10 + i, 16).toStdString();
    r.ip = "192.168.1." + std::to_string(64 + i * 3);
    r.netmask = "255.255.255.0";
    r.gateway = "192.168.1.1";
    r.type = types[i];
    r.version = "V4.2." + std::to_string(i) + " build 20261001";
    r.httpPort = 80;
    r.tcpPort = 34567;
    r.kind = i % 3 == 2 ? 1 : 0;
    r.onvifCapable = r.kind == 0;
    r.onvifPort = r.onvifCapable ? 80 : 0;
    r.model = i % 2 ? "HD-Cam-" + std::to_string(200 + i) : "-- --";
    r.cloudId = i == 1 ? "-- --" : "DVR7Q3KPL" + std::to_string(1000 + i);
    r.devTime = "2026-12-10 08:4" + std::to_string(i) + ":00";
    r.devStartTime = "2026-12-01 07:00:00";
    r.releaseTime = "2026-10-01";
    r.capabilities = i % 2 ? 0x09 : 0x00;
    fleet.push_back(r);
  }
  return fleet;
}

}  // namespace

int main(int argc, char** argv) {
  RenderProgram run(argc, argv);

  ScopedFakeDeviceLibrary library;
  library.fake.searchRecords = Fleet();
  library.fake.defaultLoginHandle = 7;
  modal::SetAnswerer([](const modal::ModalRequest& r) { return r.kind == "tip" ? 1 : 2; });

  CDivarodDlg main;
  MainDialogInstance = &main;
  main.show();
  run.ServeUntil([&] { return main.devInfoPage.RowCount() != 0; });
  CDlgDevInfo& page = main.devInfoPage;
  page.RecordAt(2)->loggedIn = 1;
  page.SetCellText(2, 13, page.CellText(2, 13) == "tx.unLogin" ? QStringLiteral("tx.Logined") : page.CellText(2, 13));
  page.deviceList.setCurrentItem(page.deviceList.topLevelItem(3));
  page.OnDeviceListClick(3);
  QApplication::processEvents();
  run.Save(main, "main_window.png");

  page.filterEdit.setText("NVR");
  page.OnFind();
  QApplication::processEvents();
  run.Save(main, "main_window_find.png");

  for (bool showIp : {true, false}) {
    CDlgLoginLocal prompt;
    prompt.showIp = showIp;
    prompt.ipText = "192.168.1.64";
    modal::SetAnswerer([&](const modal::ModalRequest& r) {
      r.dialog->show();
      QApplication::processEvents();
      run.Save(*r.dialog, showIp ? "login.png" : "login_batch.png");
      return 2;
    });
    prompt.DoModal();
  }
  for (int capabilities : {0x08, 0x00}) {
    CDlgModifyNetworkNew dialog;
    dialog.request = Fleet()[1];
    dialog.request.capabilities = capabilities;
    modal::SetAnswerer([&](const modal::ModalRequest& r) {
      r.dialog->show();
      QApplication::processEvents();
      run.Save(*r.dialog, capabilities ? "network_v3.png" : "network_v2.png");
      return 2;
    });
    dialog.DoModal();
  }
  modal::SetAnswerer({});
  MainDialogInstance = nullptr;
  return 0;
}
