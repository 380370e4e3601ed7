// Login of the device list's devices: the prompt for one device, the batch
// runs' login with one prompt per run, the login-state cell and the retiring
// of a login after a network change.
#include <array>

#include "core/device/device_library.h"
#include "core/language/language.h"
#include "core/language/login_error_text.h"
#include "core/util/text_conversion.h"
#include "ui/devicelist/device_columns.h"
#include "ui/devicelist/dlg_dev_info.h"
#include "ui/devicelist/dlg_login_local.h"
#include "ui/framework/thread_handover.h"
#include "ui/framework/worker_modal.h"
#include "ui/controls/dlg_tip.h"

namespace {

// The 48-byte information area, a 32-bit value and one byte that SdkLogin
// fills; zeroed before each call and not read afterwards.
struct LoginInfoBlock {
  std::array<uint8_t, devicelib::kLoginInfoSize> info{};
  int32_t value = 0;
  uint8_t flag = 0;
};

// The language text's one text directive takes the reason. The text is data
// beside the program, so it is never handed to a printf-style formatter.
QString FormatWithText(const QString& format, const QString& value) {
  QString out = format;
  const qsizetype at = out.indexOf(QStringLiteral("%s"));
  if (at >= 0) out.replace(at, 2, value);
  return out;
}

}  // namespace

void CDlgDevInfo::ShowLoginFailure(int error) {
  QString reason;
  const int index = error + 1;
  if (index >= 0 && index < kLoginErrorTextCount) LoginErrorText(reason, index);
  ShowTipBox(FormatWithText(Text(QStringLiteral("info.login_fail_s")), reason), Text(QStringLiteral("msg.Msg")), false, true, 0x40);
}

int CDlgDevInfo::LoginDevice(int row, DeviceRecord** recordOut, int* error) {
  DeviceRecord* record = RecordAt(row);
  if (recordOut) *recordOut = record;
  if (!record) return -1;
  if (record->loggedIn == 1) {
    if (error) *error = -10;
    return 1;
  }

  CDlgLoginLocal prompt(this);
  prompt.showIp = true;
  prompt.ipText = QString::fromLocal8Bit(record->ip);
  // The periodic search fires inside the prompt's modal loop; a search then
  // would empty the map under the record held here. While the prompt runs
  // the page counts as busy, so the timer's request is dropped.
  const uint8_t wasRunning = deviceCommandRunning;
  deviceCommandRunning = 1;
  const int answer = prompt.DoModal();
  deviceCommandRunning = wasRunning;
  if (answer != CDlgLoginLocal::kResultOk) return -2;
  // A batch run may have logged the device in while the prompt was open
  // (the double-click is allowed during a run): that login serves.
  if (record->loggedIn == 1) {
    if (error) *error = -10;
    return 1;
  }

  int code = 0;
  LoginInfoBlock block;
  // The record's address and port, not the prompt's IP text.
  const int32_t handle = devicelib::Lib().SdkLogin(record->ip.c_str(), record->tcpPort, prompt.userResult.c_str(),
                                                   prompt.passwordResult.c_str(), block.info.data(), &code, 0, 0);
  if (error) *error = code;
  if (handle != 0) {
    record->loginHandle = handle;
    record->loggedIn = 1;
    record->userName = prompt.userResult;
    record->password = prompt.passwordResult;
    SetCellText(row, kColLoginState, Text(QStringLiteral("tx.Logined")));
    return 1;
  }
  SetCellText(row, kColLoginState, Text(QStringLiteral("tx.unLogin")));
  return -1;
}

int CDlgDevInfo::BatchLogin(bool& askCredentials, DeviceRecord* record, int& error, std::string& user,
                            std::string& password) {
  if (!record) return -1;
  // The record belongs to the UI thread: a batch worker reads what the login
  // needs there and hands its result back there.
  bool loggedIn = false;
  std::string ip;
  uint16_t port = 0;
  handover::RunOnUiThread([&] {
    loggedIn = record->loggedIn == 1;
    ip = record->ip;
    port = record->tcpPort;
  });
  if (loggedIn) return 1;
  if (askCredentials) {
    askCredentials = false;
    // The prompt is a window: it runs on the UI thread, a batch worker waits.
    // The title is looked up in the calling thread's language, as the prompt
    // would be on a batch worker.
    const QString title = Text(QStringLiteral("msg.Login_first"));
    const int answer = modal::RunOnUiThread([&] {
      CDlgLoginLocal prompt(this);
      prompt.title = title;
      prompt.showIp = false;
      const int result = prompt.DoModal();
      if (result == CDlgLoginLocal::kResultOk) {
        user = prompt.userResult;
        password = prompt.passwordResult;
      }
      return result;
    });
    if (answer != CDlgLoginLocal::kResultOk) return -2;
  }
  error = 0;
  LoginInfoBlock block;
  const int32_t handle =
      devicelib::Lib().SdkLogin(ip.c_str(), port, user.c_str(), password.c_str(), block.info.data(), &error, 0, 0);
  if (handle == 0) return -1;
  bool taken = false;
  handover::RunOnUiThread([&] {
    // The user may have logged the device in meanwhile (a double-click on its
    // login cell): that login stays and serves the run.
    if (record->loggedIn == 1) return;
    record->loggedIn = 1;
    record->loginHandle = handle;
    record->userName = user;
    record->password = password;
    SetLoginState(record->mac, 1);
    taken = true;
  });
  if (!taken) devicelib::Lib().SdkLogout(handle);
  return 1;
}

int CDlgDevInfo::SetLoginState(std::string mac, int state) {
  // The list belongs to the UI thread; a batch worker's call waits for it there.
  return modal::RunOnUiThread([&] {
    for (int row = 0; row < RowCount(); ++row) {
      DeviceRecord* record = RecordAt(row);
      if (!record || record->mac != mac) continue;
      record->loggedIn = state == 1 ? 1 : 0;
      SetCellText(row, kColLoginState, LoginStateText(*record));
      return 1;
    }
    return -1;
  });
}

int CDlgDevInfo::RetireDeviceLogin(DeviceRecord* record, int row) {
  if (!record) return 1;
  if (host_) host_->RetiredLogins().push_back(record->loginHandle);
  record->loggedIn = 0;
  record->loginHandle = 0;
  SetCellText(row, kColLoginState, Text(QStringLiteral("tx.unLogin")));
  QString ip;
  Utf8ToCString(ip, record->ip);
  SetCellText(row, kColIp, ip);
  if (host_)
    pm::SendPrivateMessage(host_->BatchPage(), pm::WM_DEVICE_ITEM_UPDATE,
                           reinterpret_cast<pm::WPARAM>(&record->mac), 0);
  return 1;
}
