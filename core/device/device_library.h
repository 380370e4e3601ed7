#pragma once
// Every operation the program asks of the device library. The program reaches
// the library only through this interface, by the accessor below, set once at
// start-up. Arguments stand in the library's order; constant arguments the
// callers pass (0, -1, timeouts) are kept so that a call reads as it is made.

#include <cstdint>
#include <string>

namespace devicelib {

inline constexpr int kLoginInfoSize = 48;      // SdkLogin's device-info buffer
inline constexpr int kQueryVersion = 50;       // SdkQueryText: firmware version text
inline constexpr int kQueryTextSize = 64;
inline constexpr int kBlockNetworkPorts = 81;  // 772 bytes: HTTP port at 68, TCP port at 72
inline constexpr int kBlockNetworkPortsSize = 772;
inline constexpr int kBlockRtspPort = 155;     // 260 bytes: RTSP port at 0
inline constexpr int kBlockRtspPortSize = 260;
inline constexpr int kBlockModel = 191;        // 324 bytes: flags, model text
inline constexpr int kBlockModelSize = 324;
inline constexpr int kUserTableSize = 783856;
inline constexpr int kUserTableEntriesOffset = 114796;
inline constexpr int kUserEntrySize = 3344;
inline constexpr int kUserEntryCount = 50;
inline constexpr int kUserEntryNameOffset = 8;
inline constexpr int kUserEntryPasswordOffset = 104;
inline constexpr int kModifyUserPassword = 6;
inline constexpr uint32_t kFactoryResetAll = 0x80000000u;

// Upgrade progress, called on the library's own thread. The first two values
// carry the login and upgrade handles; the callers do not use them.
//   total > 0           : sending, done bytes of total
//   total == -1         : the device writes, done 0..100 percent
//   total == 0          : done -1 finished, -2 failed
using UpgradeProgressCallback = void (*)(int32_t loginHandle, int32_t upgradeHandle, int32_t total,
                                         int32_t done, void* userData);

class DeviceLibrary {
 public:
  virtual ~DeviceLibrary() = default;

  virtual void SdkStartup(int reserved, void* mainWindow) = 0;
  // _SDK_SetCustomer@4
  virtual void SDK_SetCustomer(const char* customerCode) = 0;
  // _SDK_SearchDevices_v1_v3_MultiEth@20: nonzero on success, *count records filled.
  virtual int SDK_SearchDevices_v1_v3_MultiEth(uint8_t* buffer, int bufferSize, int* count, int mode,
                                              int timeoutMs) = 0;

  // A login handle, or 0 with *errorCode set.
  virtual int32_t SdkLogin(const char* ip, uint16_t port, const char* user, const char* password,
                           uint8_t* deviceInfo, int* errorCode, int reserved1, int reserved2) = 0;
  virtual void SdkLogout(int32_t handle) = 0;
  virtual int SdkQueryText(int32_t handle, int query, char* buffer, int bufferSize, int* length,
                           int timeoutMs) = 0;

  virtual int SdkExportConfig(int32_t handle, int reserved, const char* path, int reserved2,
                              int reserved3) = 0;
  virtual int SdkImportConfig(int32_t handle, const char* path, int reserved1, int reserved2, int reserved3,
                              int reserved4, int mode) = 0;

  virtual int SdkGetParameter(int32_t handle, int blockId, int channel, void* buffer, int size, int* outSize,
                              int timeout, int reserved1, int reserved2) = 0;
  virtual int SdkSetParameter(int32_t handle, int blockId, int channel, const void* buffer, int size,
                              int timeout) = 0;

  virtual int SdkGetUserTable(int32_t handle, void* buffer, int timeoutMs) = 0;
  virtual int SdkModifyUser(int32_t handle, int operation, const void* newEntry, const void* oldEntry,
                            int timeoutMs) = 0;

  virtual int SdkReboot(int32_t handle) = 0;
  virtual int SdkFactoryReset(int32_t handle, uint32_t flags) = 0;

  virtual int32_t SdkOpenUpgrade(int32_t handle, const char* firmwarePath, UpgradeProgressCallback callback,
                                 void* userData, int reserved) = 0;
  virtual int SdkStartUpgrade(int32_t upgradeHandle) = 0;
  virtual void SdkCloseUpgrade(int32_t upgradeHandle) = 0;
};

// The one library the program talks to. Set at start-up (or by a test) before
// any call; the library object must outlive every caller.
void SetDeviceLibrary(DeviceLibrary* library);
DeviceLibrary& Lib();

}  // namespace devicelib
