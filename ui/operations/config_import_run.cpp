// The configuration import run: request and worker.
// Not built yet: the page answers the import request with nothing.
#include "ui/operations/dlg_operate.h"

pm::LRESULT CDlgOperate::OnBatchConfigImport(const std::string*) { return 0; }

int CDlgOperate::ConfigImportWorker(CDlgOperate*) { return 0; }
