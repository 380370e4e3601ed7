// Renders the batch page's device tree during a firmware upgrade run (the
// percentages) and after it (the results), offscreen, to PNG files for a
// person to look at: render_upgrade <folder>.
#include <QApplication>
#include <QElapsedTimer>

#include "tests/support/fake_device_library.h"
#include "tests/ui/controls/render_program.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/divarod_dlg.h"
#include "ui/devicelist/dlg_login_local.h"

namespace {

std::vector<DeviceRecord> Fleet() {
  std::vector<DeviceRecord> fleet;
  for (int i = 0; i < 8; ++i) {
    DeviceRecord r;
    r.valid = true;
    r.mac = "00:1a:2b:3c:4d:" + QString::number(0x10 + i, 16).toStdString();
    r.ip = "192.168.1." + std::to_string(64 + i * 3);
    r.netmask = "255.255.255.0";
    r.type = "IPC";
    r.httpPort = 80;
    r.tcpPort = 34567;
    fleet.push_back(r);
  }
  return fleet;
}

void Serve(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

}  // namespace

int main(int argc, char** argv) {
  RenderProgram run(argc, argv);

  ScopedFakeDeviceLibrary library;
  library.fake.searchRecords = Fleet();
  library.fake.defaultLoginHandle = 7;
  library.fake.loginHandles = {{"192.168.1.73", 0}};  // this one refuses the login
  modal::SetAnswerer([](const modal::ModalRequest& r) {
    if (auto* prompt = qobject_cast<CDlgLoginLocal*>(r.dialog)) {
      prompt->passwordEdit.setText("admin123");
      prompt->okButton.click();
      return prompt->result();
    }
    return r.kind == "tip" ? 1 : 2;
  });

  CDivarodDlg main;
  MainDialogInstance = &main;
  main.config.programFolder = run.OwnProgramFolder();
  main.show();
  CDlgOperate& page = main.operatePage;
  run.ServeUntil([&] { return page.DeviceItemCount() != 0; });
  main.menuPage.ShowMenuPage(CDlgMainMenu::kPageOperate, &page, 141);
  page.ShowSubPage(CDlgOperate::kPageUpgrade);
  page.upgradePage.pathEdit.setText("/firmware/DV-T100_V5.2.5.bin");
  page.upgradePage.upgradeFilePath = "/firmware/DV-T100_V5.2.5.bin";
  for (int i : {0, 1, 2, 3, 5}) page.DeviceItem(i)->setCheckState(0, Qt::Checked);
  pm::SendPrivateMessage(&page, pm::WM_BATCH_UPGRADE);
  run.ServeUntil([&] { return !page.WorkersRunning(); });

  // The library's reports: sending, then writing.
  const int reports[][2] = {{200, 64}, {200, 180}, {-1, 30}, {-1, 92}};
  for (int i : {0, 1, 2, 5}) {
    const auto& r = reports[i == 5 ? 3 : i];
    UpgradeProgressCallback(0, 0, r[0], r[1], CDlgOperate::RecordOfItem(page.DeviceItem(i)));
  }
  Serve(200);
  run.Save(main, "upgrade_during.png");

  UpgradeProgressCallback(0, 0, 0, -1, CDlgOperate::RecordOfItem(page.DeviceItem(0)));
  UpgradeProgressCallback(0, 0, 0, -1, CDlgOperate::RecordOfItem(page.DeviceItem(2)));
  UpgradeProgressCallback(0, 0, 0, -2, CDlgOperate::RecordOfItem(page.DeviceItem(5)));
  Serve(100);
  page.OnUpgradeWatchdog(CDlgOperate::kWatchdogTimer);  // the second device stays silent
  page.OnUpgradeWatchdog(CDlgOperate::kWatchdogTimer);
  Serve(200);
  run.Save(main, "upgrade_after.png");
  modal::SetAnswerer({});
  MainDialogInstance = nullptr;
  return 0;
}
