// The configuration import run: request and worker. The import is
// synchronous per device: the worker waits for the library's call and writes
// the device's result at once.
#include "core/device/device_library.h"
#include "core/language/language.h"
#include "ui/main/divarod_dlg.h"
#include "ui/operations/dlg_operate.h"
#include "ui/operations/threaded_runs.h"

pm::LRESULT CDlgOperate::OnBatchConfigImport(const std::string* path) {
  return StartThreadedRun(*this, importBusy, [&](int checked) {
    std::lock_guard lock(statsLock);
    selectedCount = checked;
    configPath = path ? *path : configurationPage.configFilePath;
  }, &CDlgOperate::ConfigImportWorker);
}

int CDlgOperate::ConfigImportWorker(CDlgOperate* page) {
  CDlgDevInfo& devices = MainDialogInstance->devInfoPage;
  const std::string file = page->configPath;
  const bool walked = WalkCheckedDevices(*page, [&](int index, DeviceRecord& record, int login) {
    const char* status = "info.Login_fail";
    if (login != -1) {
      if (devicelib::Lib().SdkImportConfig(record.loginHandle, file.c_str(), 0, 0, 0, 0, 1) != 0) {
        // A device that took the configuration is logged out.
        devicelib::Lib().SdkLogout(record.loginHandle);
        status = "tx.success";
        record.loggedIn = 0;
        record.loginHandle = 0;
        devices.SetLoginState(std::string(record.mac), 0);
      } else {
        status = "tx.fail";  // refused: the device keeps its login
      }
    }
    SetWalkItemStatus(*page, index, Text(QString::fromLatin1(status)));
  });
  if (!walked) {
    page->importBusy = 0;
    return -2;
  }
  ShowRunCompletedNotice();
  page->importBusy = 0;
  return 0;
}
