#include "ui/operations/checked_device_walk.h"

#include <QTreeWidgetItem>

#include "core/device/device_record.h"
#include "core/language/language.h"
#include "ui/framework/thread_handover.h"
#include "ui/operations/dlg_operate.h"

namespace {

struct WalkItem {
  bool exists = false;  // false past the last item
  bool checked = false;
  DeviceRecord* record = nullptr;
};

WalkItem ReadItem(CDlgOperate& page, int index) {
  WalkItem walk;
  handover::RunOnUiThread([&] {
    QTreeWidgetItem* item = page.DeviceItem(index);
    walk.exists = item != nullptr;
    walk.checked = item && item->checkState(0) == Qt::Checked;
    walk.record = CDlgOperate::RecordOfItem(item);
  });
  return walk;
}

}  // namespace

WalkEnd WalkCheckedDevices(CDlgOperate& page, const DeviceStep& step, const std::atomic<bool>* stop) {
  bool askCredentials = true;
  int error = 0;
  std::string user;
  std::string password;
  for (int index = 0;; ++index) {
    if (stop && stop->load()) return WalkEnd::Stopped;
    const WalkItem item = ReadItem(page, index);
    if (!item.exists) return WalkEnd::Walked;
    if (!item.checked || !item.record) continue;
    CheckedDevice device;
    device.index = index;
    device.record = item.record;
    device.login = page.BatchLogin(askCredentials, item.record, error, user, password);
    if (device.login == -2) return WalkEnd::Cancelled;
    handover::RunOnUiThread([&] {
      item.record->batchTouched = 1;
      device.loginHandle = item.record->loginHandle;
      device.mac = item.record->mac;
    });
    // Texts in the walking thread's own language.
    if (const char* status = step(device)) {
      const QString text = Text(QString::fromLatin1(status));
      handover::RunOnUiThread([&] { page.SetDeviceItemStatus(page.DeviceItem(index), text); });
    }
  }
}
