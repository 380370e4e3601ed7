#include "ui/main/open_device_preview.h"

#include "ui/devicelist/dlg_preview.h"
#include "ui/main/divarod_dlg.h"

void OpenDevicePreview(const QString& ip, const QString& user, const QString& password, int port, int streamKind) {
  CDlgPreview dialog;
  dialog.streamKind = streamKind;
  dialog.loginUser = user;
  dialog.loginPassword = password;
  dialog.streamPort = port;
  dialog.deviceIp = ip;
  if (MainDialogInstance) {
    dialog.windowRect = MainDialogInstance->frameGeometry().adjusted(30, 20, -30, -15);
    dialog.pageLogo = MainDialogInstance->pageLogo;
  }
  dialog.DoModal();
}
