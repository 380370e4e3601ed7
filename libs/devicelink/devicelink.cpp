// Placeholder: every operation fails until the network protocol lands.
#include "libs/devicelink/devicelink.h"

namespace devicelink {

void DeviceLinkLibrary::SdkStartup(int, void*) {}
void DeviceLinkLibrary::SDK_SetCustomer(const char*) {}
int DeviceLinkLibrary::SDK_SearchDevices_v1_v3_MultiEth(uint8_t*, int, int* count, int, int) {
  if (count) *count = 0;
  return 0;
}
int32_t DeviceLinkLibrary::SdkLogin(const char*, uint16_t, const char*, const char*, uint8_t*, int* errorCode, int,
                                    int) {
  if (errorCode) *errorCode = 9;
  return 0;
}
void DeviceLinkLibrary::SdkLogout(int32_t) {}
int DeviceLinkLibrary::SdkQueryText(int32_t, int, char*, int, int*, int) { return 0; }
int DeviceLinkLibrary::SdkExportConfig(int32_t, int, const char*, int, int) { return 0; }
int DeviceLinkLibrary::SdkImportConfig(int32_t, const char*, int, int, int, int, int) { return 0; }
int DeviceLinkLibrary::SdkGetParameter(int32_t, int, int, void*, int, int*, int, int, int) { return 0; }
int DeviceLinkLibrary::SdkSetParameter(int32_t, int, int, const void*, int, int) { return 0; }
int DeviceLinkLibrary::SdkGetUserTable(int32_t, void*, int) { return 0; }
int DeviceLinkLibrary::SdkModifyUser(int32_t, int, const void*, const void*, int) { return 0; }
int DeviceLinkLibrary::SdkReboot(int32_t) { return 0; }
int DeviceLinkLibrary::SdkFactoryReset(int32_t, uint32_t) { return 0; }
int32_t DeviceLinkLibrary::SdkOpenUpgrade(int32_t, const char*, devicelib::UpgradeProgressCallback, void*, int) {
  return 0;
}
int DeviceLinkLibrary::SdkStartUpgrade(int32_t) { return 0; }
void DeviceLinkLibrary::SdkCloseUpgrade(int32_t) {}

}  // namespace devicelink
