// The configuration import run: request and worker. The import is
// synchronous per device: the worker waits for the library's call and writes
// the device's result at once.
#include <thread>

#include "core/device/device_library.h"
#include "core/language/language.h"
#include "ui/controls/dlg_tip.h"
#include "ui/framework/thread_handover.h"
#include "ui/main/divarod_dlg.h"
#include "ui/operations/dlg_operate.h"

pm::LRESULT CDlgOperate::OnBatchConfigImport(const std::string* path) {
  int checked = 0;
  if (!HasCheckedTreeItem(&deviceTree, &checked)) {
    ShowTipBox(Text(QStringLiteral("msg.Sel_dev_first")), Text(QStringLiteral("msg.Msg")), false, true,
               CDlgTip::kIconInformation);
    return -1;
  }
  // A search empties the map before the tree hears of it: until it has
  // ended, the items may point at records that are gone.
  if (!MainDialogInstance || !rootItem || MainDialogInstance->searching) return -1;
  {
    std::lock_guard lock(statsLock);
    selectedCount = checked;
  }
  importBusy = 1;
  ResetDeviceItemTexts();
  configPath = path ? *path : configurationPage.configFilePath;
  ++threadedRuns.runningWorkers;
  std::thread([this] {
    ConfigImportWorker(this);
    --threadedRuns.runningWorkers;  // the worker's last touch of the page
  }).detach();
  return 1;
}

int CDlgOperate::ConfigImportWorker(CDlgOperate* page) {
  bool askCredentials = true;
  int error = 0;
  std::string user;
  std::string password;
  CDlgDevInfo& devices = MainDialogInstance->devInfoPage;
  const std::string file = page->configPath;
  for (int index = 0;; ++index) {
    bool more = false;
    bool checked = false;
    DeviceRecord* record = nullptr;
    handover::CallAndWait(page->Mailbox(), [&] {
      QTreeWidgetItem* item = page->DeviceItem(index);
      more = item != nullptr;
      checked = item && item->checkState(0) == Qt::Checked;
      record = CDlgOperate::RecordOfItem(item);
    });
    if (!more) break;
    if (!checked || !record) continue;

    const int login = devices.BatchLogin(askCredentials, record, error, user, password);
    if (login == -2) {
      page->importBusy = 0;
      return -2;
    }
    record->batchTouched = 1;
    const char* status = "info.Login_fail";
    if (login != -1) {
      if (devicelib::Lib().SdkImportConfig(record->loginHandle, file.c_str(), 0, 0, 0, 0, 1) != 0) {
        // A device that took the configuration is logged out.
        devicelib::Lib().SdkLogout(record->loginHandle);
        status = "tx.success";
        record->loggedIn = 0;
        record->loginHandle = 0;
        devices.SetLoginState(std::string(record->mac), 0);
      } else {
        status = "tx.fail";  // refused: the device keeps its login
      }
    }
    const QString text = Text(QString::fromLatin1(status));
    handover::CallAndWait(page->Mailbox(), [&] { page->SetDeviceItemStatus(page->DeviceItem(index), text); });
  }
  ShowTipBox(Text(QStringLiteral("info.operate_completed")), Text(QStringLiteral("msg.Msg")), false, true,
             CDlgTip::kIconInformation);
  page->importBusy = 0;
  return 0;
}
