#include "libs/devicelink/devicelink.h"

#include <cstring>
#include <string_view>

#include "core/device/sdk_device_info.h"
#include "core/files/atomic_write.h"
#include "core/files/regular_file.h"
#include "libs/devicelink/session.h"
#include "libs/devicelink/upgrade_job.h"

namespace devicelink {
namespace {

// Timeouts of -1 or 0 mean "the library's own bound".
int Bound(int timeoutMs, int fallback) { return timeoutMs > 0 ? timeoutMs : fallback; }

// The whole file, when it is a regular file of at most limit bytes (a FIFO or
// a device is refused before it is opened, so nothing waits on it).
std::optional<std::vector<uint8_t>> ReadFile(const char* path, uint64_t limit) {
  if (!path || !*path) return std::nullopt;
  std::string bytes;
  if (files::ReadRegularFile(path, bytes, limit) != files::ReadStatus::kRead) return std::nullopt;
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// The NUL-terminated text of a fixed field, never past the field.
std::string FieldText(const uint8_t* p, std::size_t width) {
  const auto* begin = reinterpret_cast<const char*>(p);
  const auto* nul = static_cast<const char*>(std::memchr(begin, 0, width));
  return std::string(begin, nul ? nul : begin + width);
}

}  // namespace

DeviceLinkLibrary::DeviceLinkLibrary() = default;

DeviceLinkLibrary::~DeviceLinkLibrary() {
  std::map<int32_t, std::shared_ptr<UpgradeJob>> upgrades;
  std::map<int32_t, std::shared_ptr<Session>> sessions;
  {
    std::lock_guard lock(mutex_);
    upgrades.swap(upgrades_);
    sessions.swap(sessions_);
  }
  for (auto& [h, job] : upgrades) job->Stop();
  for (auto& [h, s] : sessions) s->Close();
}

void DeviceLinkLibrary::SetDiscoveryTargets(std::vector<Endpoint> targets) {
  std::lock_guard lock(mutex_);
  discoveryTargets_ = std::move(targets);
}

std::vector<Endpoint> DeviceLinkLibrary::DiscoveryTargets() const {
  {
    std::lock_guard lock(mutex_);
    if (discoveryTargets_) return *discoveryTargets_;
  }
  if (auto fromEnvironment = TargetsFromEnvironment()) return *fromEnvironment;
  return BroadcastTargets(wire::kDiscoveryPort);
}

std::size_t DeviceLinkLibrary::HeldFirmwareImages() { return images_.HeldImages(); }

std::size_t DeviceLinkLibrary::OpenLogins() const {
  std::lock_guard lock(mutex_);
  return sessions_.size();
}

DiscoveryOutcome DeviceLinkLibrary::LastDiscovery() const {
  std::lock_guard lock(mutex_);
  return lastDiscovery_;
}

void DeviceLinkLibrary::SdkStartup(int, void*) {}

void DeviceLinkLibrary::SDK_SetCustomer(const char* customerCode) {
  // Kept for the record only: devices answer every discovery, and the
  // program filters the results by customer itself.
  std::lock_guard lock(mutex_);
  customerCode_ = customerCode ? customerCode : "";
}

int DeviceLinkLibrary::SDK_SearchDevices_v1_v3_MultiEth(uint8_t* buffer, int bufferSize, int* count, int mode,
                                                        int timeoutMs) {
  if (count) *count = 0;
  if (!buffer || !count || bufferSize < static_cast<int>(sdkinfo::kRecordSize)) return 0;
  const int maxRecords = bufferSize / static_cast<int>(sdkinfo::kRecordSize);
  DiscoveryOutcome outcome =
      Discover(DiscoveryTargets(), buffer, maxRecords, static_cast<uint32_t>(mode), Bound(timeoutMs, 3000));
  *count = outcome.records;
  const int result = outcome.sent ? 1 : 0;
  std::lock_guard lock(mutex_);
  lastDiscovery_ = std::move(outcome);
  return result;
}

int32_t DeviceLinkLibrary::NextHandle() {
  // Handles are positive and never 0; callers test 0 as "none".
  lastHandle_ = lastHandle_ == INT32_MAX ? 1 : lastHandle_ + 1;
  while (sessions_.count(lastHandle_) || upgrades_.count(lastHandle_)) ++lastHandle_;
  return lastHandle_;
}

int32_t DeviceLinkLibrary::SdkLogin(const char* ip, uint16_t port, const char* user, const char* password,
                                    uint8_t* deviceInfo, int* errorCode, int, int) {
  auto fail = [&](int code) {
    if (errorCode) *errorCode = code;
    return 0;
  };
  const auto address = ParseIpv4(ip ? ip : "");
  if (!address || port == 0) return fail(wire::kCannotReachHost);
  LoginOutcome outcome = Session::Login(Endpoint{*address, port}, user ? user : "", password ? password : "");
  if (!outcome.session) return fail(outcome.error);
  if (deviceInfo) std::memcpy(deviceInfo, outcome.deviceInfo.data(), outcome.deviceInfo.size());
  if (errorCode) *errorCode = 0;
  std::lock_guard lock(mutex_);
  ReapDeadSessions();
  const int32_t handle = NextHandle();
  sessions_[handle] = std::move(outcome.session);
  return handle;
}

void DeviceLinkLibrary::ReapDeadSessions() {
  for (auto it = sessions_.begin(); it != sessions_.end();) {
    if (it->second.use_count() == 1 && !it->second->LooksAlive())
      it = sessions_.erase(it);
    else
      ++it;
  }
}

std::shared_ptr<Session> DeviceLinkLibrary::Find(int32_t handle) const {
  std::lock_guard lock(mutex_);
  const auto it = sessions_.find(handle);
  return it == sessions_.end() ? nullptr : it->second;
}

void DeviceLinkLibrary::SdkLogout(int32_t handle) {
  std::shared_ptr<Session> s;
  {
    std::lock_guard lock(mutex_);
    const auto it = sessions_.find(handle);
    if (it == sessions_.end()) return;
    s = std::move(it->second);
    sessions_.erase(it);
  }
  if (!s->dead()) s->Call(wire::Type::kLogout, std::vector<uint8_t>{}, kLogoutTimeoutMs);
  s->Close();
}

int DeviceLinkLibrary::SdkQueryText(int32_t handle, int query, char* buffer, int bufferSize, int* length,
                                    int timeoutMs) {
  if (length) *length = 0;
  const auto s = Find(handle);
  if (!s || !buffer || bufferSize <= 0 || query < 0) return 0;
  const Reply r = s->Call(wire::Type::kQueryText, msg::Encode(msg::QueryTextRequest{static_cast<uint32_t>(query)}),
                          Bound(timeoutMs, kDefaultCallTimeoutMs));
  if (!r.ok()) return 0;
  const std::size_t n = std::min(r.payload.size(), static_cast<std::size_t>(bufferSize - 1));
  std::memcpy(buffer, r.payload.data(), n);
  buffer[n] = '\0';
  if (length) *length = static_cast<int>(n);
  return 1;
}

int DeviceLinkLibrary::SdkExportConfig(int32_t handle, int, const char* path, int, int) {
  const auto s = Find(handle);
  if (!s || !path || !*path) return 0;
  const Reply r = s->Call(wire::Type::kExportConfig, std::vector<uint8_t>{}, kFileTransferTimeoutMs);
  if (!r.ok()) return 0;
  // Whole or not at all: a refused or broken export never leaves half a file
  // and never destroys the file it was to replace.
  const std::string_view bytes(reinterpret_cast<const char*>(r.payload.data()), r.payload.size());
  return files::WriteFileAtomically(path, bytes) ? 1 : 0;
}

int DeviceLinkLibrary::SdkImportConfig(int32_t handle, const char* path, int, int, int, int, int) {
  const auto s = Find(handle);
  if (!s) return 0;
  auto file = ReadFile(path, wire::kMaxConfigFile);
  if (!file) return 0;
  return s->Call(wire::Type::kImportConfig, std::move(*file), kFileTransferTimeoutMs).ok() ? 1 : 0;
}

int DeviceLinkLibrary::SdkGetParameter(int32_t handle, int blockId, int channel, void* buffer, int size,
                                       int* outSize, int timeout, int, int) {
  if (outSize) *outSize = 0;
  const auto s = Find(handle);
  if (!s || !buffer || size < 0 || blockId < 0) return 0;
  msg::ParameterRequest request;
  request.block = static_cast<uint32_t>(blockId);
  request.channel = channel;
  const Reply r = s->Call(wire::Type::kGetParameter, msg::Encode(request), Bound(timeout, kDefaultCallTimeoutMs));
  if (!r.ok()) return 0;
  if (outSize) *outSize = static_cast<int>(r.payload.size());
  // The block the caller asked for, whole: a longer one would not fit, and a
  // shorter one would leave bytes the device never sent, which a caller
  // writing the block back would pass on as if read. Either way nothing is copied.
  if (r.payload.size() != static_cast<std::size_t>(size)) return 0;
  std::memcpy(buffer, r.payload.data(), r.payload.size());
  return 1;
}

int DeviceLinkLibrary::SdkSetParameter(int32_t handle, int blockId, int channel, const void* buffer, int size,
                                       int timeout) {
  const auto s = Find(handle);
  if (!s || !buffer || size < 0 || blockId < 0) return 0;
  msg::ParameterRequest request;
  request.block = static_cast<uint32_t>(blockId);
  request.channel = channel;
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  request.data.assign(bytes, bytes + size);
  return s->Call(wire::Type::kSetParameter, msg::Encode(request), Bound(timeout, kDefaultCallTimeoutMs)).ok() ? 1
                                                                                                             : 0;
}

int DeviceLinkLibrary::SdkGetUserTable(int32_t handle, void* buffer, int timeoutMs) {
  const auto s = Find(handle);
  if (!s || !buffer) return 0;
  const Reply r = s->Call(wire::Type::kGetUserTable, std::vector<uint8_t>{}, Bound(timeoutMs, 30000));
  if (!r.ok() || r.payload.size() != static_cast<std::size_t>(devicelib::kUserTableSize)) return 0;
  std::memcpy(buffer, r.payload.data(), r.payload.size());
  return 1;
}

int DeviceLinkLibrary::SdkModifyUser(int32_t handle, int operation, const void* newEntry, const void* oldEntry,
                                     int timeoutMs) {
  const auto s = Find(handle);
  if (!s || !newEntry || !oldEntry || operation < 0) return 0;
  msg::ModifyUserRequest request;
  request.operation = static_cast<uint32_t>(operation);
  const auto* n = static_cast<const uint8_t*>(newEntry);
  const auto* o = static_cast<const uint8_t*>(oldEntry);
  request.newEntry.assign(n, n + msg::kUserEntrySize);
  request.oldEntry.assign(o, o + msg::kUserEntrySize);
  constexpr std::size_t kNameWidth = msg::kUserPasswordOffset - msg::kUserNameOffset;
  const std::string newName = FieldText(n + msg::kUserNameOffset, kNameWidth);
  const std::string oldName = FieldText(o + msg::kUserNameOffset, kNameWidth);
  const std::string newPassword = FieldText(n + msg::kUserPasswordOffset, msg::kUserPasswordField);
  const std::string oldPassword = FieldText(o + msg::kUserPasswordOffset, msg::kUserPasswordField);
  // A password that fills the whole field has no room for its NUL: refused,
  // never cut to something the user did not type.
  if (newPassword.size() >= msg::kUserPasswordField) return 0;
  // The passwords never travel in clear: the old one as a proof, the new
  // one encrypted with this login's session key.
  for (auto* entry : {&request.newEntry, &request.oldEntry})
    std::fill_n(entry->begin() + msg::kUserPasswordOffset, msg::kUserPasswordField, uint8_t{0});
  const Digest oldKey = msg::PasswordKey(oldName, oldPassword);
  const Credentials& c = s->credentials();
  const Reply r = s->Call(
      wire::Type::kModifyUser,
      [&](uint32_t sequence) {
        request.oldProof = msg::ModifyOldProof(oldKey, c.token, sequence);
        request.newPassword = msg::MaskPassword(msg::PasswordFieldOf(newPassword), c.sessionKey, c.token, sequence);
        return msg::Encode(request);
      },
      Bound(timeoutMs, kDefaultCallTimeoutMs));
  return r.ok() ? 1 : 0;
}

// A restart ends the login on the device: the connection is closed at once.
int DeviceLinkLibrary::SdkReboot(int32_t handle) {
  const auto s = Find(handle);
  if (!s) return 0;
  if (!s->Call(wire::Type::kReboot, std::vector<uint8_t>{}, kDefaultCallTimeoutMs).ok()) return 0;
  s->Close();
  return 1;
}

int DeviceLinkLibrary::SdkFactoryReset(int32_t handle, uint32_t flags) {
  const auto s = Find(handle);
  if (!s) return 0;
  if (!s->Call(wire::Type::kFactoryReset, msg::Encode(msg::FactoryResetRequest{flags}), kDefaultCallTimeoutMs).ok())
    return 0;
  s->Close();
  return 1;
}

int32_t DeviceLinkLibrary::SdkOpenUpgrade(int32_t handle, const char* firmwarePath,
                                          devicelib::UpgradeProgressCallback callback, void* userData, int) {
  const auto s = Find(handle);
  if (!s || s->dead()) return 0;
  if (!firmwarePath) return 0;
  auto image = images_.Acquire(firmwarePath, wire::kMaxFirmwareFile);
  if (!image) return 0;
  std::lock_guard lock(mutex_);
  const int32_t upgradeHandle = NextHandle();
  upgrades_[upgradeHandle] = std::make_shared<UpgradeJob>(handle, upgradeHandle, s->device(), s->credentials(),
                                                          std::move(image), callback, userData);
  return upgradeHandle;
}

int DeviceLinkLibrary::SdkStartUpgrade(int32_t upgradeHandle) {
  std::shared_ptr<UpgradeJob> job;
  {
    std::lock_guard lock(mutex_);
    const auto it = upgrades_.find(upgradeHandle);
    if (it == upgrades_.end()) return 0;
    job = it->second;
  }
  return job->Start() ? 1 : 0;
}

void DeviceLinkLibrary::SdkCloseUpgrade(int32_t upgradeHandle) {
  std::shared_ptr<UpgradeJob> job;
  {
    std::lock_guard lock(mutex_);
    const auto it = upgrades_.find(upgradeHandle);
    if (it == upgrades_.end()) return;
    job = std::move(it->second);
    upgrades_.erase(it);
  }
  job->Stop();
}

}  // namespace devicelink
