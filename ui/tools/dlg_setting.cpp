#include "ui/tools/dlg_setting.h"

CDlgSetting::CDlgSetting() = default;
CDlgSetting::~CDlgSetting() = default;

void CDlgSetting::Create(QWidget* owner) {
  setParent(owner, Qt::Dialog | Qt::FramelessWindowHint);
  hide();
}

pm::LRESULT CDlgSetting::OnPrivateMessage(unsigned, pm::WPARAM, pm::LPARAM) { return 1; }
