// The device steps of the synchronous runs.
#include "ui/operations/dlg_operate.h"

int CDlgOperate::ModifyUserPassword(const DeviceRecord&, const std::string&, const std::string&, uint8_t*) {
  return -1;
}
int CDlgOperate::SetDevicePorts(DeviceRecord&, const BatchPortsPayload&) { return -1; }
