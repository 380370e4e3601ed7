// The synchronous runs: reboot, restore defaults, password and ports. Each
// runs inside the handler of the message that asks for it, one checked
// device after another, with one login prompt per run.
#include <functional>
#include <memory>
#include <new>

#include "core/device/device_library.h"
#include "core/language/language.h"
#include "ui/controls/dlg_tip.h"
#include "ui/main/divarod_dlg.h"
#include "ui/operations/dlg_operate.h"

namespace {

void ShowRunNotice(const char* key) {
  ShowTipBox(Text(QString::fromLatin1(key)), Text(QStringLiteral("msg.Msg")), false, true, CDlgTip::kIconInformation);
}

// The common request: something checked, a main window and a root, then the
// run with its busy flag set and the last run's item texts reset.
pm::LRESULT StartRun(CDlgOperate& page, std::atomic<uint8_t>& busy, const std::function<void()>& run) {
  if (!HasCheckedTreeItem(&page.deviceTree, &page.selectedCount)) {
    ShowRunNotice("msg.Sel_dev_first");
    return -1;
  }
  // A search empties the map before the tree hears of it: until it has
  // ended, the items may point at records that are gone.
  if (!MainDialogInstance || !page.rootItem || MainDialogInstance->searching) return -1;
  busy = 1;
  page.ResetDeviceItemTexts();
  run();
  return 1;
}

// The device step: runs on a logged-in device and returns the key of its status.
using DeviceStep = std::function<const char*(DeviceRecord&)>;

// The walk over the checked devices in tree order. A cancelled prompt ends
// the run at once, without a completion notice.
void WalkCheckedDevices(CDlgOperate& page, std::atomic<uint8_t>& busy, const DeviceStep& step, bool portsRun) {
  bool askCredentials = true;
  int error = 0;
  std::string user;
  std::string password;
  CDlgDevInfo& devices = MainDialogInstance->devInfoPage;
  for (int i = 0; i < page.DeviceItemCount(); ++i) {
    QTreeWidgetItem* item = page.DeviceItem(i);
    if (item->checkState(0) != Qt::Checked) continue;
    DeviceRecord* record = CDlgOperate::RecordOfItem(item);
    if (!record) continue;
    const int login = devices.BatchLogin(askCredentials, record, error, user, password);
    if (login == -2) {
      busy = 0;
      return;
    }
    record->batchTouched = 1;
    const char* status = login == 1 ? step(*record) : "info.Login_fail";
    page.SetDeviceItemStatus(item, Text(QString::fromLatin1(status)));
  }
  if (portsRun) pm::PostPrivateMessage(&devices, pm::WM_DEVICE_PORTS_CHANGED, 0, 0);
  ShowRunNotice("info.operate_completed");
  busy = 0;
}

// The device has left its login (restart, reset): the handle is dropped and
// the device list shows it logged out.
void MarkLoggedOut(DeviceRecord& record) {
  record.loginHandle = 0;
  record.loggedIn = 0;
  MainDialogInstance->devInfoPage.SetLoginState(std::string(record.mac), 0);
}

}  // namespace

pm::LRESULT CDlgOperate::OnBatchReboot() {
  return StartRun(*this, rebootBusy, [this] { RebootSelected(); });
}

pm::LRESULT CDlgOperate::OnBatchDefaults() {
  return StartRun(*this, defaultsBusy, [this] { RestoreDefaultsSelected(); });
}

pm::LRESULT CDlgOperate::OnBatchPassword(const std::string* oldPassword, const std::string* newPassword) {
  const std::string oldText = oldPassword ? *oldPassword : std::string();
  const std::string newText = newPassword ? *newPassword : std::string();
  return StartRun(*this, passwordBusy, [&] { ModifyPasswordSelected(oldText, newText); });
}

pm::LRESULT CDlgOperate::OnBatchPorts(const BatchPortsPayload* payload) {
  if (!payload) return -1;
  const BatchPortsPayload ports = *payload;
  return StartRun(*this, portsBusy, [&] { ModifyPortsSelected(ports); });
}

void CDlgOperate::RebootSelected() {
  WalkCheckedDevices(*this, rebootBusy, [](DeviceRecord& record) {
    if (devicelib::Lib().SdkReboot(record.loginHandle) != 1) return "tx.fail";
    devicelib::Lib().SdkLogout(record.loginHandle);
    MarkLoggedOut(record);
    return "tx.success";
  }, false);
}

void CDlgOperate::RestoreDefaultsSelected() {
  WalkCheckedDevices(*this, defaultsBusy, [](DeviceRecord& record) {
    // The device forgets its logins as it resets; its answer is not waited on.
    devicelib::Lib().SdkFactoryReset(record.loginHandle, devicelib::kFactoryResetAll);
    MarkLoggedOut(record);
    return "tx.success";
  }, false);
}

void CDlgOperate::ModifyPasswordSelected(const std::string& oldPassword, const std::string& newPassword) {
  WalkCheckedDevices(*this, passwordBusy, [&](DeviceRecord& record) {
    const std::unique_ptr<uint8_t[]> table(new (std::nothrow) uint8_t[devicelib::kUserTableSize]);
    if (!table) return "tx.fail";
    return ModifyUserPassword(record, oldPassword, newPassword, table.get()) == 1 ? "tx.success" : "tx.fail";
  }, false);
}

void CDlgOperate::ModifyPortsSelected(const BatchPortsPayload& payload) {
  WalkCheckedDevices(*this, portsBusy, [&](DeviceRecord& record) {
    if (SetDevicePorts(record, payload) != 1) return "tx.fail";
    devicelib::Lib().SdkLogout(record.loginHandle);
    MarkLoggedOut(record);
    return "tx.success";
  }, true);
}
