#pragma once
// The device library over the network: discovery by UDP, sessions over TCP.

#include "core/device/device_library.h"

namespace devicelink {

class DeviceLinkLibrary : public devicelib::DeviceLibrary {
 public:
  void SdkStartup(int reserved, void* mainWindow) override;
  void SDK_SetCustomer(const char* customerCode) override;
  int SDK_SearchDevices_v1_v3_MultiEth(uint8_t* buffer, int bufferSize, int* count, int mode,
                                      int timeoutMs) override;
  int32_t SdkLogin(const char* ip, uint16_t port, const char* user, const char* password, uint8_t* deviceInfo,
                   int* errorCode, int reserved1, int reserved2) override;
  void SdkLogout(int32_t handle) override;
  int SdkQueryText(int32_t handle, int query, char* buffer, int bufferSize, int* length, int timeoutMs) override;
  int SdkExportConfig(int32_t handle, int reserved, const char* path, int reserved2, int reserved3) override;
  int SdkImportConfig(int32_t handle, const char* path, int reserved1, int reserved2, int reserved3,
                      int reserved4, int mode) override;
  int SdkGetParameter(int32_t handle, int blockId, int channel, void* buffer, int size, int* outSize, int timeout,
                      int reserved1, int reserved2) override;
  int SdkSetParameter(int32_t handle, int blockId, int channel, const void* buffer, int size,
                      int timeout) override;
  int SdkGetUserTable(int32_t handle, void* buffer, int timeoutMs) override;
  int SdkModifyUser(int32_t handle, int operation, const void* newEntry, const void* oldEntry,
                    int timeoutMs) override;
  int SdkReboot(int32_t handle) override;
  int SdkFactoryReset(int32_t handle, uint32_t flags) override;
  int32_t SdkOpenUpgrade(int32_t handle, const char* firmwarePath, devicelib::UpgradeProgressCallback callback,
                         void* userData, int reserved) override;
  int SdkStartUpgrade(int32_t upgradeHandle) override;
  void SdkCloseUpgrade(int32_t upgradeHandle) override;
};

}  // namespace devicelink
