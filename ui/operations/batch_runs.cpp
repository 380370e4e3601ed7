// The synchronous runs: reboot, restore defaults, password and ports. Each
// runs inside the handler of the message that asks for it, one checked
// device after another, with one login prompt per run.
#include <functional>
#include <memory>
#include <new>

#include "core/device/device_library.h"
#include "core/language/language.h"
#include "ui/controls/dlg_tip.h"
#include "ui/operations/checked_device_walk.h"
#include "ui/operations/dlg_operate.h"

namespace {

// The common request: something checked, a root and no search under way,
// then the run with its busy flag set and the last run's item texts reset.
pm::LRESULT StartRun(CDlgOperate& page, std::atomic<uint8_t>& busy, const std::function<void()>& run) {
  if (!HasCheckedTreeItem(&page.deviceTree, &page.selectedCount)) {
    ShowNotice("msg.Sel_dev_first");
    return -1;
  }
  if (!page.rootItem || page.SearchRunning()) return -1;
  busy = 1;
  page.ResetDeviceItemTexts();
  run();
  return 1;
}

// The device step of a synchronous run: on a logged-in device, on the UI
// thread; returns the key of its status.
using SyncStep = std::function<const char*(DeviceRecord&)>;

// A synchronous run walks on the UI thread, inside the handler that asked
// for it. A cancelled prompt ends the run at once, without a completion
// notice.
void RunOverCheckedDevices(CDlgOperate& page, std::atomic<uint8_t>& busy, const SyncStep& step, bool portsRun) {
  const WalkEnd end = WalkCheckedDevices(page, [&](const CheckedDevice& device) {
    return device.login == 1 ? step(*device.record) : "info.Login_fail";
  });
  if (end != WalkEnd::Walked) {
    busy = 0;
    return;
  }
  if (portsRun && page.Host()) pm::PostPrivateMessage(page.Host()->DeviceListPage(), pm::WM_DEVICE_PORTS_CHANGED, 0, 0);
  ShowNotice("info.operate_completed");
  busy = 0;
}

}  // namespace

// The device has left its login (restart, reset): the handle is dropped and
// the device list shows it logged out.
void CDlgOperate::MarkLoggedOut(DeviceRecord& record) {
  record.loginHandle = 0;
  record.loggedIn = 0;
  SetLoginState(std::string(record.mac), 0);
}

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
  RunOverCheckedDevices(*this, rebootBusy, [this](DeviceRecord& record) {
    if (devicelib::Lib().SdkReboot(record.loginHandle) != 1) return "tx.fail";
    devicelib::Lib().SdkLogout(record.loginHandle);
    MarkLoggedOut(record);
    return "tx.success";
  }, false);
}

void CDlgOperate::RestoreDefaultsSelected() {
  RunOverCheckedDevices(*this, defaultsBusy, [this](DeviceRecord& record) {
    // The device forgets its logins as it resets; its answer is not waited on.
    devicelib::Lib().SdkFactoryReset(record.loginHandle, devicelib::kFactoryResetAll);
    MarkLoggedOut(record);
    return "tx.success";
  }, false);
}

void CDlgOperate::ModifyPasswordSelected(const std::string& oldPassword, const std::string& newPassword) {
  RunOverCheckedDevices(*this, passwordBusy, [&](DeviceRecord& record) {
    const std::unique_ptr<uint8_t[]> table(new (std::nothrow) uint8_t[devicelib::kUserTableSize]);
    if (!table) return "tx.fail";
    return ModifyUserPassword(record, oldPassword, newPassword, table.get()) == 1 ? "tx.success" : "tx.fail";
  }, false);
}

void CDlgOperate::ModifyPortsSelected(const BatchPortsPayload& payload) {
  RunOverCheckedDevices(*this, portsBusy, [&](DeviceRecord& record) {
    if (SetDevicePorts(record, payload) != 1) return "tx.fail";
    devicelib::Lib().SdkLogout(record.loginHandle);
    MarkLoggedOut(record);
    return "tx.success";
  }, true);
}
