#include "ui/operations/dlg_modify_password.h"

CDlgModifyPassword::CDlgModifyPassword() : CBatchSubPage(true) {}
void CDlgModifyPassword::LayoutControls() {}
void CDlgModifyPassword::SetTexts() {}
void CDlgModifyPassword::CheckPasswordInput(QLineEdit&) {}
void CDlgModifyPassword::OnModify() {}
void CDlgModifyPassword::hideEvent(QHideEvent* event) { CBatchSubPage::hideEvent(event); }
