#include "ui/operations/threaded_runs.h"

#include <string>
#include <thread>

#include "core/language/language.h"
#include "ui/controls/dlg_tip.h"
#include "ui/framework/thread_handover.h"
#include "ui/main/divarod_dlg.h"
#include "ui/operations/dlg_operate.h"

namespace {

void ShowPageNotice(const char* key) {
  ShowTipBox(Text(QString::fromLatin1(key)), Text(QStringLiteral("msg.Msg")), false, true, CDlgTip::kIconInformation);
}

}  // namespace

pm::LRESULT StartThreadedRun(CDlgOperate& page, std::atomic<uint8_t>& busy,
                             const std::function<void(int checked)>& prepare, int (*worker)(CDlgOperate*)) {
  int checked = 0;
  if (!HasCheckedTreeItem(&page.deviceTree, &checked)) {
    {
      std::lock_guard lock(page.statsLock);
      page.selectedCount = 0;
    }
    ShowPageNotice("msg.Sel_dev_first");
    return -1;
  }
  // A search empties the map before the tree hears of it: until it has
  // ended, the items may point at records that are gone.
  if (!MainDialogInstance || !page.rootItem || MainDialogInstance->searching) return -1;
  busy = 1;
  page.ResetDeviceItemTexts();
  prepare(checked);
  ++page.threadedRuns.runningWorkers;
  std::thread([&page, worker] {
    worker(&page);
    --page.threadedRuns.runningWorkers;  // the worker's last touch of the page
  }).detach();
  return 1;
}

void RunOnPageThread(CDlgOperate& page, const std::function<void()>& fn) { handover::CallAndWait(page.Mailbox(), fn); }

WalkItem ReadWalkItem(CDlgOperate& page, int index) {
  WalkItem walk;
  RunOnPageThread(page, [&] {
    QTreeWidgetItem* item = page.DeviceItem(index);
    walk.exists = item != nullptr;
    walk.checked = item && item->checkState(0) == Qt::Checked;
    walk.record = CDlgOperate::RecordOfItem(item);
  });
  return walk;
}

bool WalkCheckedDevices(CDlgOperate& page, const WalkStep& step) {
  bool askCredentials = true;
  int error = 0;
  std::string user;
  std::string password;
  CDlgDevInfo& devices = MainDialogInstance->devInfoPage;
  for (int index = 0;; ++index) {
    const WalkItem walk = ReadWalkItem(page, index);
    if (!walk.exists) return true;
    if (!walk.checked || !walk.record) continue;
    DeviceRecord* record = walk.record;
    const int login = devices.BatchLogin(askCredentials, record, error, user, password);
    if (login == -2) return false;
    record->batchTouched = 1;
    step(index, *record, login);
  }
}

void SetWalkItemStatus(CDlgOperate& page, int index, const QString& status) {
  RunOnPageThread(page, [&] { page.SetDeviceItemStatus(page.DeviceItem(index), status); });
}

void ShowRunCompletedNotice() { ShowPageNotice("info.operate_completed"); }
