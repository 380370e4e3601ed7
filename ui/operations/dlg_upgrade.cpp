#include "ui/operations/dlg_upgrade.h"

CDlgUpgrade::CDlgUpgrade() : CBatchSubPage(true) {}
void CDlgUpgrade::LayoutControls() {}
void CDlgUpgrade::SetTexts() {}
void CDlgUpgrade::OnBrowseFirmware() {}
void CDlgUpgrade::OnUpgrade() {}
