#include "ui/operations/dlg_configuration.h"

CDlgConfiguration::CDlgConfiguration() : CBatchSubPage(true) {}
void CDlgConfiguration::LayoutControls() {}
void CDlgConfiguration::SetTexts() {}
void CDlgConfiguration::OnBrowseConfigFile() {}
void CDlgConfiguration::OnUpdateConfig() {}
void CDlgConfiguration::OnDefaultSetting() {}
