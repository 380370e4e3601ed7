// Renders the device list's right-click menu over its main window and the
// model name dialog to PNG files, offscreen, for a person to look at:
// render_devcmd <folder>. The dialog is drawn in English, Chinese, German
// and Arabic, whose texts differ most in length and direction.
#include <QApplication>
#include <QMenu>
#include <QPainter>

#include "core/language/language.h"
#include "tests/support/fake_device_library.h"
#include "tests/ui/controls/render_program.h"
#include "ui/framework/modal_seam.h"
#include "ui/devicelist/device_columns.h"
#include "ui/devicelist/device_menu.h"
#include "ui/main/divarod_dlg.h"
#include "ui/devicelist/dlg_modify_model.h"

namespace {

std::vector<DeviceRecord> Fleet() {
  std::vector<DeviceRecord> fleet;
  for (int i = 0; i < 6; ++i) {
    DeviceRecord r;
    r.valid = true;
    r.mac = "00:1c:27:a0:00:0" + std::to_string(i + 1);
    r.ip = "192.168.1." + std::to_string(64 + i);
    r.netmask = "255.255.255.0";
    r.gateway = "192.168.1.1";
    r.type = i % 3 == 2 ? "NVR" : "IPC";
    r.version = "V5.2.4.ad1" + std::to_string(i) + " Build:2026-09-14 16:02";
    r.httpPort = 80;
    r.tcpPort = 34567;
    r.kind = i % 3 == 2 ? 1 : 0;
    r.onvifCapable = r.kind == 0;
    r.onvifPort = r.onvifCapable ? 80 : 0;
    r.model = "DV-T10" + std::to_string(i);
    r.cloudId = "DV8H2K4M9Q7T00" + std::to_string(10 + i);
    r.capabilities = 0x09;
    fleet.push_back(r);
  }
  return fleet;
}

// The menu as it pops up: shown offscreen and grabbed, with the preview
// submenu opened beside it when asked.
QImage MenuPicture(const std::vector<DeviceMenuEntry>& entries, bool openSubmenu) {
  QMenu menu;
  BuildDeviceMenu(menu, entries);
  menu.popup(QPoint(0, 0));
  QApplication::processEvents();
  const QImage top = menu.grab().toImage();
  QMenu* submenu = nullptr;
  for (QAction* action : menu.actions())
    if (action->menu()) submenu = action->menu();
  if (!openSubmenu || !submenu) return top;
  QAction* previewAction = submenu->menuAction();
  submenu->popup(QPoint(0, 0));
  QApplication::processEvents();
  const QImage sub = submenu->grab().toImage();
  const QRect at = menu.actionGeometry(previewAction);
  QImage both(top.width() + sub.width() - 4, std::max(top.height(), at.top() + sub.height()),
              QImage::Format_ARGB32_Premultiplied);
  both.fill(Qt::transparent);
  QPainter p(&both);
  p.drawImage(0, 0, top);
  p.drawImage(top.width() - 4, at.top(), sub);
  return both;
}

}  // namespace

int main(int argc, char** argv) {
  RenderProgram run(argc, argv);

  ScopedFakeDeviceLibrary library;
  library.fake.searchRecords = Fleet();
  modal::SetAnswerer([](const modal::ModalRequest& r) { return r.kind == "tip" ? 1 : 2; });

  CDivarodDlg main;
  MainDialogInstance = &main;
  main.show();
  run.ServeUntil([&] { return main.devInfoPage.RowCount() != 0; });
  CDlgDevInfo& page = main.devInfoPage;
  page.SetModifyModelMode(true);
  const int row = 1;
  page.deviceList.setCurrentItem(page.deviceList.topLevelItem(row));
  QApplication::processEvents();

  // The main window with the menu where a right-click on the row's IP cell opens it.
  const auto entries = DeviceMenuEntries(*page.RecordAt(row), kColIp, true);
  QImage window = main.grab().toImage();
  {
    const QRect cell = page.deviceList.visualItemRect(page.deviceList.topLevelItem(row));
    const QPoint click = page.deviceList.viewport()->mapTo(&main, QPoint(60, cell.center().y()));
    QPainter p(&window);
    p.drawImage(click, MenuPicture(entries, true));
  }
  run.Save(window, "device_menu_in_window.png");
  run.Save(MenuPicture(DeviceMenuEntries(*page.RecordAt(2), kColLoginState, false), false),
           "device_menu_recorder_login_column.png");

  const QString lang = QCoreApplication::applicationDirPath() + "/Config File/Lang/";
  for (const char* name : {"eng", "chs", "Ge", "Ar"}) {
    GetThreadLanguage()->LoadFile(lang + name + ".lang", 1);
    CDlgModifyModel dialog;
    dialog.mac = "00:1c:27:a0:00:01";
    dialog.currentModel = "DV-T100";
    modal::SetAnswerer([&](const modal::ModalRequest& r) {
      r.dialog->show();
      QApplication::processEvents();
      run.Save(*r.dialog, QString("model_dialog_") + name + ".png");
      return 2;
    });
    dialog.DoModal();
    if (QString(name) == "eng") {
      run.Save(MenuPicture(entries, true), "device_menu_eng.png");
    }
  }
  modal::SetAnswerer({});
  MainDialogInstance = nullptr;
  return 0;
}
