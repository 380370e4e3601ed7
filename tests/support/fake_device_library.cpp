#include "tests/support/fake_device_library.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "core/device/sdk_device_info.h"

namespace {
std::string S(const char* s) { return s ? std::string(s) : std::string("(null)"); }
std::string N(long long v) { return std::to_string(v); }
std::string P(const void* p) { return p ? "ptr" : "null"; }
}  // namespace

void FakeDeviceLibrary::Record(std::string op, std::vector<std::string> args) {
  std::lock_guard lock(mutex_);
  calls_.push_back({std::move(op), std::move(args)});
}

std::vector<FakeCall> FakeDeviceLibrary::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

std::vector<FakeCall> FakeDeviceLibrary::CallsOf(const std::string& op) const {
  std::lock_guard lock(mutex_);
  std::vector<FakeCall> out;
  std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(out), [&](const FakeCall& c) { return c.op == op; });
  return out;
}

int FakeDeviceLibrary::CountOf(const std::string& op) const { return static_cast<int>(CallsOf(op).size()); }

void FakeDeviceLibrary::ClearCalls() {
  std::lock_guard lock(mutex_);
  calls_.clear();
}

void FakeDeviceLibrary::SdkStartup(int reserved, void* mainWindow) {
  Record("SdkStartup", {N(reserved), P(mainWindow)});
}

void FakeDeviceLibrary::SDK_SetCustomer(const char* customerCode) { Record("SDK_SetCustomer", {S(customerCode)}); }

int FakeDeviceLibrary::SDK_SearchDevices_v1_v3_MultiEth(uint8_t* buffer, int bufferSize, int* count, int mode,
                                                       int timeoutMs) {
  bool zeroed = buffer && std::all_of(buffer, buffer + bufferSize, [](uint8_t b) { return b == 0; });
  Record("SDK_SearchDevices_v1_v3_MultiEth",
         {P(buffer), N(bufferSize), count ? N(*count) : "null", N(mode), N(timeoutMs), zeroed ? "zeroed" : "dirty"});
  if (onSearch) return onSearch(buffer, bufferSize, count, mode, timeoutMs);
  const std::size_t fit = static_cast<std::size_t>(bufferSize) / sdkinfo::kRecordSize;
  const std::size_t n = std::min(fit, searchRecords.size());
  for (std::size_t i = 0; i < n; ++i)
    sdkinfo::WriteRecord(searchRecords[i], std::span<uint8_t>(buffer + i * sdkinfo::kRecordSize, sdkinfo::kRecordSize));
  if (count) *count = static_cast<int>(n);
  return searchResult;
}

int32_t FakeDeviceLibrary::SdkLogin(const char* ip, uint16_t port, const char* user, const char* password,
                                    uint8_t* deviceInfo, int* errorCode, int reserved1, int reserved2) {
  Record("SdkLogin", {S(ip), N(port), S(user), S(password), P(deviceInfo), P(errorCode), N(reserved1), N(reserved2)});
  int32_t handle = 0;
  int error = loginError;
  if (onLogin) {
    handle = onLogin(S(ip), port, S(user), S(password), &error);
  } else {
    auto it = loginHandles.find(S(ip));
    handle = it != loginHandles.end() ? it->second : defaultLoginHandle;
  }
  if (handle == 0 && errorCode) *errorCode = error;
  return handle;
}

void FakeDeviceLibrary::SdkLogout(int32_t handle) { Record("SdkLogout", {N(handle)}); }

int FakeDeviceLibrary::SdkQueryText(int32_t handle, int query, char* buffer, int bufferSize, int* length,
                                    int timeoutMs) {
  Record("SdkQueryText", {N(handle), N(query), P(buffer), N(bufferSize), P(length), N(timeoutMs)});
  if (buffer && bufferSize > 0) {
    const std::size_t n = std::min(versionText.size(), static_cast<std::size_t>(bufferSize - 1));
    std::memcpy(buffer, versionText.data(), n);
    buffer[n] = '\0';
    if (length) *length = static_cast<int>(n);
  }
  return 1;
}

int FakeDeviceLibrary::SdkExportConfig(int32_t handle, int reserved, const char* path, int reserved2,
                                       int reserved3) {
  Record("SdkExportConfig", {N(handle), N(reserved), S(path), N(reserved2), N(reserved3)});
  return exportResult;
}

int FakeDeviceLibrary::SdkImportConfig(int32_t handle, const char* path, int reserved1, int reserved2,
                                       int reserved3, int reserved4, int mode) {
  Record("SdkImportConfig", {N(handle), S(path), N(reserved1), N(reserved2), N(reserved3), N(reserved4), N(mode)});
  return importResult;
}

int FakeDeviceLibrary::SdkGetParameter(int32_t handle, int blockId, int channel, void* buffer, int size,
                                       int* outSize, int timeout, int reserved1, int reserved2) {
  Record("SdkGetParameter",
         {N(handle), N(blockId), N(channel), P(buffer), N(size), P(outSize), N(timeout), N(reserved1), N(reserved2)});
  if (getParameterResult == 1 && buffer && size > 0) {
    auto* out = static_cast<uint8_t*>(buffer);
    std::memset(out, 0, static_cast<std::size_t>(size));
    auto it = blocks.find(blockId);
    if (it != blocks.end())
      std::memcpy(out, it->second.data(), std::min(it->second.size(), static_cast<std::size_t>(size)));
    if (outSize) *outSize = size;
  }
  return getParameterResult;
}

int FakeDeviceLibrary::SdkSetParameter(int32_t handle, int blockId, int channel, const void* buffer, int size,
                                       int timeout) {
  Record("SdkSetParameter", {N(handle), N(blockId), N(channel), P(buffer), N(size), N(timeout)});
  if (std::find(refusedBlockWrites.begin(), refusedBlockWrites.end(), blockId) != refusedBlockWrites.end()) return 0;
  if (setParameterResult == 1 && buffer && size > 0) {
    const auto* in = static_cast<const uint8_t*>(buffer);
    blocks[blockId].assign(in, in + size);
  }
  return setParameterResult;
}

int FakeDeviceLibrary::SdkGetUserTable(int32_t handle, void* buffer, int timeoutMs) {
  Record("SdkGetUserTable", {N(handle), P(buffer), N(timeoutMs)});
  if (userTableResult == 1 && buffer && !userTable.empty())
    std::memcpy(buffer, userTable.data(), std::min<std::size_t>(userTable.size(), devicelib::kUserTableSize));
  return userTableResult;
}

int FakeDeviceLibrary::SdkModifyUser(int32_t handle, int operation, const void* newEntry, const void* oldEntry,
                                     int timeoutMs) {
  Record("SdkModifyUser", {N(handle), N(operation), P(newEntry), P(oldEntry), N(timeoutMs)});
  if (newEntry && oldEntry) {
    std::lock_guard lock(mutex_);
    const auto* n = static_cast<const uint8_t*>(newEntry);
    const auto* o = static_cast<const uint8_t*>(oldEntry);
    lastModifiedNewEntry.assign(n, n + devicelib::kUserEntrySize);
    lastModifiedOldEntry.assign(o, o + devicelib::kUserEntrySize);
  }
  return modifyUserResult;
}

int FakeDeviceLibrary::SdkReboot(int32_t handle) {
  Record("SdkReboot", {N(handle)});
  return rebootResult;
}

int FakeDeviceLibrary::SdkFactoryReset(int32_t handle, uint32_t flags) {
  Record("SdkFactoryReset", {N(handle), N(flags)});
  return factoryResetResult;
}

int32_t FakeDeviceLibrary::SdkOpenUpgrade(int32_t handle, const char* firmwarePath,
                                          devicelib::UpgradeProgressCallback callback, void* userData, int reserved) {
  Record("SdkOpenUpgrade", {N(handle), S(firmwarePath), callback ? "callback" : "null", P(userData), N(reserved)});
  {
    std::lock_guard lock(mutex_);
    lastUpgradeCallback = callback;
    lastUpgradeUserData = userData;
  }
  return openUpgradeResult;
}

int FakeDeviceLibrary::SdkStartUpgrade(int32_t upgradeHandle) {
  Record("SdkStartUpgrade", {N(upgradeHandle)});
  return startUpgradeResult;
}

void FakeDeviceLibrary::SdkCloseUpgrade(int32_t upgradeHandle) { Record("SdkCloseUpgrade", {N(upgradeHandle)}); }
