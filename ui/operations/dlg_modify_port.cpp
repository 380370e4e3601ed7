#include "ui/operations/dlg_modify_port.h"

CDlgModifyPort::CDlgModifyPort() : CBatchSubPage(true) {}
void CDlgModifyPort::LayoutControls() {}
void CDlgModifyPort::SetTexts() {}
void CDlgModifyPort::LoadDefaultPorts() {}
void CDlgModifyPort::ShowDefaultPorts() {}
void CDlgModifyPort::ReadPorts() {}
void CDlgModifyPort::OnModify() {}
void CDlgModifyPort::OnInitialised() {}
void CDlgModifyPort::hideEvent(QHideEvent* event) { CBatchSubPage::hideEvent(event); }
