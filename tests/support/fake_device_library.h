#pragma once
// In-process fake of the device library for page tests: records every call
// with its arguments and returns scripted results. Safe to call from any
// thread (the search and batch workers call it off the UI thread).

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/device/device_library.h"
#include "core/device/device_record.h"

struct FakeCall {
  std::string op;                 // operation name, e.g. "SdkLogin"
  std::vector<std::string> args;  // every argument as text, in the library's order
  std::string Arg(std::size_t i) const { return i < args.size() ? args[i] : std::string(); }
};

class FakeDeviceLibrary : public devicelib::DeviceLibrary {
 public:
  // --- scripted state -------------------------------------------------------
  // Discovery: the records laid out into the caller's buffer, and the result.
  std::vector<DeviceRecord> searchRecords;
  int searchResult = 1;
  // Login: per IP, the handle to return (0 = refuse with loginError).
  std::map<std::string, int32_t> loginHandles;
  int32_t defaultLoginHandle = 0;  // for IPs not listed; 0 refuses
  int loginError = 1;
  std::string versionText = "V4.2.1 Build:20261001";
  int exportResult = 1;
  int importResult = 1;
  int getParameterResult = 1;
  int setParameterResult = 1;
  int userTableResult = 1;
  int modifyUserResult = 1;
  int rebootResult = 1;
  int factoryResetResult = 1;
  int32_t openUpgradeResult = 0x5000;  // 0 = open fails
  int startUpgradeResult = 1;
  // Parameter blocks stored by id; a get copies the block (zero-padded).
  std::map<int, std::vector<uint8_t>> blocks;
  // The user table a get copies out (when not empty), the block ids whose
  // writes are refused (0), and the two entries of the last user change.
  std::vector<uint8_t> userTable;
  std::vector<int> refusedBlockWrites;
  std::vector<uint8_t> lastModifiedNewEntry;
  std::vector<uint8_t> lastModifiedOldEntry;
  // Optional hooks that replace the default behaviour of an operation.
  std::function<int(uint8_t*, int, int*, int, int)> onSearch;
  std::function<int32_t(const std::string& ip, uint16_t port, const std::string& user,
                        const std::string& password, int* error)>
      onLogin;

  // Last upgrade opened: what a test needs to drive the progress callback.
  devicelib::UpgradeProgressCallback lastUpgradeCallback = nullptr;
  void* lastUpgradeUserData = nullptr;

  // --- observation ----------------------------------------------------------
  std::vector<FakeCall> Calls() const;
  std::vector<FakeCall> CallsOf(const std::string& op) const;
  int CountOf(const std::string& op) const;
  void ClearCalls();

  // --- DeviceLibrary --------------------------------------------------------
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

 private:
  void Record(std::string op, std::vector<std::string> args);
  mutable std::mutex mutex_;
  std::vector<FakeCall> calls_;
};

// Installs a fake as the program's device library for the lifetime of a test.
class ScopedFakeDeviceLibrary {
 public:
  ScopedFakeDeviceLibrary() { devicelib::SetDeviceLibrary(&fake); }
  ~ScopedFakeDeviceLibrary() { devicelib::SetDeviceLibrary(nullptr); }
  FakeDeviceLibrary fake;
};
