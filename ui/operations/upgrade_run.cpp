// The firmware upgrade run: request, worker, progress and watchdog.
// Not built yet: the page answers the upgrade request with nothing.
#include "ui/operations/dlg_operate.h"

pm::LRESULT CDlgOperate::OnBatchUpgrade() { return 0; }

pm::LRESULT CDlgOperate::OnUpgradeProgressMessage(DeviceRecord*, int) { return 0; }

void CDlgOperate::OnUpgradeWatchdog(int) {}

int CDlgOperate::UpgradeWorker(CDlgOperate*) { return 0; }

void UpgradeProgressCallback(int32_t, int32_t, int32_t, int32_t, void*) {}
