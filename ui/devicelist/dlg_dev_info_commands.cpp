// The device list page's commands on one device: the web page, copying a
// cell, the QR picture of the cloud id and NET.
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include "core/language/language.h"
#include "core/qr/qr_bitmap.h"
#include "core/qr/user_data_folder.h"
#include "core/util/string_util.h"
#include "core/util/text_conversion.h"
#include "ui/devicelist/device_columns.h"
#include "ui/devicelist/dlg_dev_info.h"
#include "ui/controls/dlg_tip.h"

namespace {

// The QR text lives in a 64-byte buffer with its terminating NUL.
constexpr std::size_t kQrTextCapacity = 64;

}  // namespace

void CDlgDevInfo::OpenDeviceWebPage(int row) {
  const QString address =
      QStringLiteral("http://%1:%2").arg(CellText(row, kColIp), CellText(row, kColHttpPort));
  // The desktop's default browser; its result is not looked at.
  QDesktopServices::openUrl(QUrl(address));
}

void CDlgDevInfo::CopyCellToClipboard(int row, int column) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return;
  std::string utf8;
  CStringToUtf8(CellText(row, column), utf8);
  auto* data = new QMimeData;
  data->setData(QStringLiteral("text/plain;charset=utf-8"), QByteArray::fromStdString(utf8));
  data->setText(QString::fromUtf8(utf8));
  clipboard->setMimeData(data);  // the clipboard owns it from here on
}

void CDlgDevInfo::ClearQrPicture() {
  qrPicture.clear();
  qrBitmap = QPixmap();
}

void CDlgDevInfo::OnDeviceListClick(int row) {
  std::string cloudId;
  if (row >= 0) CStringToUtf8(CellText(row, kColCloud), cloudId);
  // A cloud id that does not fit the QR text's buffer gets no code rather
  // than a code of a cut, wrong id.
  if (!cloudId.empty() && cloudId != "-- --" && cloudId.size() < kQrTextCapacity) {
    qrPicture.show();
    ShowCloudIdQrCode(cloudId);
  } else {
    qrPicture.clear();
    qrPicture.hide();
  }
}

void CDlgDevInfo::ShowCloudIdQrCode(const std::string& text) {
  // The main window found the per-user folder at start-up; a page without
  // one (tests, a failed lookup there) asks for it here.
  std::string folder;
  if (host_) CStringToAnsi(host_->UserDataFolder(), folder);
  if (folder.empty()) GetUserDataFolder(folder);
  if (folder.empty()) {
    // No folder of the user's: the file would land at the file system's root.
    ClearQrPicture();
    return;
  }
  if (!folder.empty() && !DirectoryExists(folder)) CreateDirectoryTree(folder);
  std::string path;
  MakeQrBitmap(text, path, folder);
  ClearQrPicture();
  // Read from the file every time: the path stays the same from device to
  // device, so a cached picture of the same name would show the last code.
  qrBitmap = QPixmap::fromImage(QImage(QString::fromStdString(path)));  // a failed write leaves it empty
  if (!qrBitmap.isNull()) qrPicture.setPixmap(qrBitmap);
}

void CDlgDevInfo::OnDeviceListDblClk(int row, int column) {
  if (column == kColIp) {
    OpenDeviceWebPage(row);
  } else if (column == kColLoginState) {
    int error = 0;
    DeviceRecord* record = nullptr;
    if (LoginDevice(row, &record, &error) == -1) ShowLoginFailure(error);
  }
}

void CDlgDevInfo::OnNetworkButton() {
  const int row = SelectedRowForCommand();
  if (row < 0) return;
  networkChangeRunning = 1;
  ModifyDeviceNetwork(row);
  networkChangeRunning = 0;
}
