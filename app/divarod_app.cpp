#include "app/divarod_app.h"

#include <sys/socket.h>
#include <unistd.h>

#include "app/instance_lock.h"
#include "app/program_folder.h"
#include "core/ini/private_profile.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/divarod_dlg.h"

namespace {

// The socket layer has nothing to start on this platform; a datagram socket
// that opens proves it is there.
bool StartSocketLibrary() {
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  if (fd < 0) return false;
  close(fd);
  return true;
}

}  // namespace

bool CDivarodApp::InitInstance() {
  const QString configPath = ConfigIniPath();
  QString appName;
  ini::GetPrivateProfileString("SETTING", "App_Name", "", appName, 256, configPath);

  if (AcquireInstanceLock("TK_TOOL") == InstanceLockResult::AlreadyHeld) {
    modal::PlatformMessageBox(QString("%1 is running!").arg(appName), appName, 0x40);
    return false;
  }
  // An unavailable lock (no runtime folder, or a file at its name that is not
  // the user's own) lets start-up go on as a first instance.

  if (!StartSocketLibrary()) {
    modal::PlatformMessageBox(QStringLiteral("Windows 套接字初始化失败。"), QString(), 0x40);
    return false;
  }

  auto* dialog = new CDivarodDlg();  // lives until the process ends
  MainDialogInstance = dialog;
  modal::ModalRequest request;
  request.kind = "main-window";
  request.defaultResult = 0;
  modal::Exec(*dialog, request);
  return false;
}
