// The synchronous runs: reboot, restore defaults, password and ports.
#include "ui/operations/dlg_operate.h"

pm::LRESULT CDlgOperate::OnBatchReboot() { return -1; }
pm::LRESULT CDlgOperate::OnBatchDefaults() { return -1; }
pm::LRESULT CDlgOperate::OnBatchPassword(const std::string*, const std::string*) { return -1; }
pm::LRESULT CDlgOperate::OnBatchPorts(const BatchPortsPayload*) { return -1; }
void CDlgOperate::RebootSelected() {}
void CDlgOperate::RestoreDefaultsSelected() {}
void CDlgOperate::ModifyPasswordSelected(const std::string&, const std::string&) {}
void CDlgOperate::ModifyPortsSelected(const BatchPortsPayload&) {}
