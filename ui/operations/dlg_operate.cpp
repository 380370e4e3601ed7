#include "ui/operations/dlg_operate.h"

CDlgOperate::CDlgOperate() = default;
CDlgOperate::~CDlgOperate() = default;

void CDlgOperate::Create(QWidget* parent) {
  setParent(parent);
  hide();
  PlaceInParent();
}

bool CDlgOperate::IsBatchBusy() const {
  return rebootBusy || defaultsBusy || passwordBusy || portsBusy || upgradeBusy || importBusy;
}

pm::LRESULT CDlgOperate::OnPrivateMessage(unsigned message, pm::WPARAM, pm::LPARAM) {
  if (message == pm::WM_PARENT_RESIZED) PlaceInParent();
  return 1;
}

// The page fills the parent's client area right of the menu and below the title band.
void CDlgOperate::PlaceInParent() {
  if (!parentWidget()) return;
  const QRect client = parentWidget()->contentsRect();
  setGeometry(client.adjusted(60, 60, 0, 0));
}
