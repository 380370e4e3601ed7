#include "ui/operations/config_import_run.h"

#include "core/device/device_library.h"
#include "core/device/device_record.h"
#include "ui/framework/thread_handover.h"
#include "ui/operations/dlg_operate.h"

pm::LRESULT ConfigImportRun::Request(const std::string* path) {
  return Start(
      importBusy, [&](int) { configPath = path ? *path : page_.configurationPage.configFilePath; },
      [this] { ConfigImportWorker(); });
}

void ConfigImportRun::ConfigImportWorker() {
  const std::string file = configPath;
  const WalkEnd end = Walk([&](const CheckedDevice& device) -> const char* {
    if (device.login == -1) return "info.Login_fail";
    if (devicelib::Lib().SdkImportConfig(device.loginHandle, file.c_str(), 0, 0, 0, 0, 1) == 0)
      return "tx.fail";  // refused: the device keeps its login
    // A device that took the configuration is logged out.
    devicelib::Lib().SdkLogout(device.loginHandle);
    handover::RunOnUiThread([&] {
      device.record->loggedIn = 0;
      device.record->loginHandle = 0;
      page_.SetLoginState(device.mac, 0);
    });
    return "tx.success";
  });
  if (end == WalkEnd::Walked) ShowCompletedNotice();
  importBusy = 0;
}
