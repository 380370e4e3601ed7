#include "ui/operations/dlg_reboot.h"

CDlgReboot::CDlgReboot() : CBatchSubPage(false) {}
void CDlgReboot::LayoutControls() {}
void CDlgReboot::SetTexts() {}
void CDlgReboot::OnReboot() {}
