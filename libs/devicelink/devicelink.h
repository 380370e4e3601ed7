#pragma once
// The device library over the network: discovery by UDP, sessions over TCP,
// firmware upgrades on threads of their own. The protocol is described in
// docs/device-link.md.

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/device/device_library.h"
#include "libs/devicelink/discovery.h"
#include "libs/devicelink/firmware_image.h"
#include "libs/devicelink/socket_io.h"

namespace devicelink {

class Session;
class UpgradeJob;

// Bounds for the calls whose callers pass -1 (or no timeout at all).
inline constexpr int kDefaultCallTimeoutMs = 5000;
inline constexpr int kFileTransferTimeoutMs = 30000;
inline constexpr int kLogoutTimeoutMs = 500;

class DeviceLinkLibrary : public devicelib::DeviceLibrary {
 public:
  DeviceLinkLibrary();
  ~DeviceLinkLibrary() override;

  // Where discovery sends its query. Without a call here the environment
  // variable DIVAROD_DISCOVERY_TARGETS decides, and without that the
  // broadcast addresses of every interface and 255.255.255.255.
  void SetDiscoveryTargets(std::vector<Endpoint> targets);
  std::vector<Endpoint> DiscoveryTargets() const;
  // Details of the last discovery (for diagnostics and the benchmark).
  DiscoveryOutcome LastDiscovery() const;
  // Logins the library holds a connection for (diagnostics, tests).
  std::size_t OpenLogins() const;
  // Firmware files whose copy some open upgrade holds (tests).
  std::size_t HeldFirmwareImages();

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
  std::shared_ptr<Session> Find(int32_t handle) const;
  // Frees the logins whose device has closed them and that no call uses:
  // callers drop some handles without a logout (after a factory reset, a
  // finished upgrade), and a dead login answers every call with 0 anyway,
  // as an unknown handle does. Under mutex_.
  void ReapDeadSessions();
  int32_t NextHandle();

  mutable std::mutex mutex_;
  std::optional<std::vector<Endpoint>> discoveryTargets_;
  DiscoveryOutcome lastDiscovery_;
  std::string customerCode_;
  std::map<int32_t, std::shared_ptr<Session>> sessions_;
  std::map<int32_t, std::shared_ptr<UpgradeJob>> upgrades_;
  int32_t lastHandle_ = 0;
  FirmwareImageCache images_;  // one copy per firmware file for the upgrades open
};

}  // namespace devicelink
