// The device list's right-click menu and the commands behind it that belong
// to one device: login, configuration export and the live preview; EXPORT.
#include <QDateTime>
#include <array>
#include <cstring>

#include "core/device/device_library.h"
#include "core/language/language.h"
#include "core/util/text_conversion.h"
#include "ui/controls/dlg_tip.h"
#include "ui/framework/save_file_dialog.h"
#include "ui/devicelist/device_menu.h"
#include "ui/devicelist/dlg_dev_info.h"

namespace {


QString FromAnsi(const std::string& narrow) {
  QString wide;
  Utf8ToCString(wide, narrow);  // the ANSI code page is UTF-8 here
  return wide;
}

}  // namespace

void CDlgDevInfo::OnDeviceListRightClick(int row, int column) {
  if (row < 0) return;
  DeviceRecord* record = RecordAt(row);
  if (!record) return;
  deviceCommandRunning = 1;
  const int id = TrackDeviceMenu(this, DeviceMenuEntries(*record, column, modifyModelMode != 0));
  if (id < kMenuMainStream || id > kMenuCopy) {
    deviceCommandRunning = 0;
    return;
  }
  // Checked after the choice: the menu is always offered.
  if (BatchBusy()) {
    ShowNotice("info.Configuring_wait");
    deviceCommandRunning = 0;
    return;
  }
  switch (id) {
    case kMenuMainStream:
      PreviewDeviceStream(row, 2);
      break;
    case kMenuSubStream:
      PreviewDeviceStream(row, 3);
      break;
    case kMenuOpenWeb:
      OpenDeviceWebPage(row);
      break;
    case kMenuNetwork:
      networkChangeRunning = 1;
      ModifyDeviceNetwork(row);
      networkChangeRunning = 0;
      break;
    case kMenuLogin:
      LoginDeviceCommand(row);
      break;
    case kMenuExport:
      ExportDeviceConfig(row);
      break;
    case kMenuModifyModel:
      ModifyDeviceModel(row);
      break;
    case kMenuCopy:
      CopyCellToClipboard(row, column);
      break;
  }
  deviceCommandRunning = 0;
}

DeviceRecord* CDlgDevInfo::LoginForCommand(int row, int* errorOut) {
  int error = 0;
  DeviceRecord* record = nullptr;
  const int login = LoginDevice(row, &record, &error);
  if (errorOut) *errorOut = error;
  if (login == -2) return nullptr;
  if (login != 1 || !record) {
    ShowLoginFailure(error);
    return nullptr;
  }
  return record;
}

int CDlgDevInfo::SelectedRowForCommand() {
  if (BatchBusy()) {
    ShowNotice("info.Configuring_wait");
    return -1;
  }
  const int row = FirstSelectedRow();
  if (row < 0) ShowNotice("msg.Sel_one_dev_first");
  return row;
}

void CDlgDevInfo::OnExportButton() {
  const int row = SelectedRowForCommand();
  if (row < 0) return;
  // The save dialog and the notices are modal loops in which the periodic
  // search fires; a search then would empty the map under the record the
  // export still uses. EXPORT counts as a running device command, as the
  // menu's export does.
  deviceCommandRunning = 1;
  ExportDeviceConfig(row);
  deviceCommandRunning = 0;
}

void CDlgDevInfo::ExportDeviceConfig(int row) {
  DeviceRecord* record = LoginForCommand(row);
  if (!record) return;

  // The version text; the query's result is not looked at, an empty buffer
  // gives an empty prefix.
  std::array<char, devicelib::kQueryTextSize> buffer{};
  int length = 0;
  devicelib::Lib().SdkQueryText(record->loginHandle, devicelib::kQueryVersion, buffer.data(),
                                devicelib::kQueryTextSize, &length, 1000);
  QString version;
  Utf8ToCString(version, std::string(buffer.data(), strnlen(buffer.data(), buffer.size())));

  savefile::SaveFileRequest request;
  request.offeredName = ExportFileName(version, QDateTime::currentDateTime());
  request.defaultExtension = QStringLiteral("coi");
  request.filter = QStringLiteral("coi Files (*.coi)");
  const QString path = savefile::AskSavePath(this, request);
  if (path.isEmpty()) return;
  std::string ansiPath;
  if (!CStringToAnsiBounded(path, ansiPath) || ansiPath.empty()) return;

  // The record outlives the dialog: no search runs while a device command does.
  const int result = devicelib::Lib().SdkExportConfig(record->loginHandle, 0, ansiPath.c_str(), 0, 0);
  ShowNotice(result == 1 ? "info.operate_success" : "info.operate_fail");
  // The device stays logged in.
}

void CDlgDevInfo::LoginDeviceCommand(int row) {
  int error = 0;
  // A fresh login shows nothing: the login-state cell already says so.
  if (LoginForCommand(row, &error) && error == -10) ShowNotice("msg.Already_logined");
}

void CDlgDevInfo::PreviewDeviceStream(int row, int streamKind) {
  DeviceRecord* record = LoginForCommand(row);
  if (!record) return;
  if (openPreview)
    openPreview(FromAnsi(record->ip), FromAnsi(record->userName), FromAnsi(record->password), record->tcpPort,
                streamKind);
}
