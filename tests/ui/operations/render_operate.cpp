// Renders the batch-operation page in its main window with each of its five
// sub-pages, in English and in German, to PNG files, offscreen, for a person
// to look at: render_operate <folder>.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/support/fake_device_library.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/divarod_dlg.h"

namespace {

std::vector<DeviceRecord> Fleet() {
  std::vector<DeviceRecord> fleet;
  for (int i = 0; i < 12; ++i) {
    DeviceRecord r;
    r.valid = true;
    r.mac = "00:1a:2b:3c:4d:" + QString::number(0x10 + i, 16).toStdString();
    r.ip = "192.168." + std::to_string(1 + i / 8) + "." + std::to_string(64 + i * 3);
    r.netmask = "255.255.255.0";
    r.type = "IPC";
    r.httpPort = 80;
    r.tcpPort = 34567;
    fleet.push_back(r);
  }
  return fleet;
}

void Save(QWidget& w, const QString& path) {
  QApplication::processEvents();
  w.grab().save(path);
  std::printf("%s\n", qPrintable(path));
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
  QDir().mkpath(folder);

  // A program folder of our own: a language change writes Config.ini.
  QTemporaryDir programFolder;
  QProcess::execute("cp", {"-r", QCoreApplication::applicationDirPath() + "/Config File", programFolder.path() + "/"});

  ScopedFakeDeviceLibrary library;
  library.fake.searchRecords = Fleet();
  modal::SetAnswerer([](const modal::ModalRequest& r) { return r.kind == "tip" ? 1 : 2; });

  CDivarodDlg main;
  MainDialogInstance = &main;
  main.config.programFolder = programFolder.path() + "/";
  main.show();
  QElapsedTimer clock;
  clock.start();
  CDlgOperate& page = main.operatePage;
  while (page.DeviceItemCount() == 0 && clock.elapsed() < 5000) QApplication::processEvents();
  main.menuPage.ShowMenuPage(CDlgMainMenu::kPageOperate, &page, 141);
  for (int i : {1, 2, 4}) page.DeviceItem(i)->setCheckState(0, Qt::Checked);
  page.DeviceItem(1)->setText(0, page.DeviceItem(1)->text(0) + "  " + Text("tx.success"));
  page.DeviceItem(2)->setText(0, page.DeviceItem(2)->text(0) + "  " + Text("info.Login_fail"));

  const struct {
    int id;
    const char* name;
  } pages[] = {{CDlgOperate::kPageUpgrade, "upgrade"},   {CDlgOperate::kPageConfiguration, "configuration"},
               {CDlgOperate::kPagePassword, "password"}, {CDlgOperate::kPagePorts, "ports"},
               {CDlgOperate::kPageReboot, "reboot"}};
  for (const char* language : {"en", "ge"}) {
    if (QString(language) == "ge") {
      pm::SendPrivateMessage(&main, pm::WM_LANGUAGE_CHANGED, 8, 0);
      QApplication::processEvents();
    }
    for (const auto& p : pages) {
      page.ShowSubPage(p.id);
      Save(main, folder + QString("/operate_%1_%2.png").arg(language, p.name));
    }
  }
  // As a run paints it: statuses set one after another, no event processed
  // in between; the grab shows what the screen shows at that moment.
  QApplication::processEvents();
  for (int i = 0; i < 6; ++i) {
    DeviceRecord* record = CDlgOperate::RecordOfItem(page.DeviceItem(i));
    record->batchTouched = 1;
    page.SetDeviceItemStatus(page.DeviceItem(i), Text(i % 2 ? "info.Login_fail" : "tx.success"));
  }
  main.grab().save(folder + "/operate_ge_during_run.png");
  std::printf("%s\n", qPrintable(folder + "/operate_ge_during_run.png"));
  modal::SetAnswerer({});
  MainDialogInstance = nullptr;
  return 0;
}
