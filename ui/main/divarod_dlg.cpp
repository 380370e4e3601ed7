#include "ui/main/divarod_dlg.h"

#include "core/device/device_library.h"

CDivarodDlg* MainDialogInstance = nullptr;

CDivarodDlg::CDivarodDlg(QWidget* parent) : QDialog(parent) {
  // The library's one start-up call, before any other call reaches it.
  devicelib::Lib().SdkStartup(0, this);
  setWindowFlag(Qt::FramelessWindowHint);
  resize(1090, 700);
}

CDivarodDlg::~CDivarodDlg() = default;
