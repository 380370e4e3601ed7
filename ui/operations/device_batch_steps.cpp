// The device steps of the synchronous runs that need more than one call:
// the password change over the user table and the port change over two
// parameter blocks. Both hand back every byte they do not mean to change.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "core/device/device_library.h"
#include "ui/operations/dlg_operate.h"

namespace {

constexpr int kUserTableTimeoutMs = 30000;
constexpr int kModifyUserTimeoutMs = 1000;
constexpr std::size_t kNameFieldSize = devicelib::kUserEntryPasswordOffset - devicelib::kUserEntryNameOffset;
constexpr std::size_t kPasswordFieldSize = 96;  // the terminator included
constexpr int kHttpPortOffset = 68;
constexpr int kTcpPortOffset = 72;

// The blocks are little-endian, whatever this machine is.
void PutLe(uint8_t* at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}
uint32_t GetLe(const uint8_t* at, int bytes) {
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(at[i]) << (8 * i);
  return value;
}

}  // namespace

int CDlgOperate::ModifyUserPassword(const DeviceRecord& record, const std::string& oldPassword,
                                    const std::string& newPassword, uint8_t* table) {
  using namespace devicelib;
  // A password that does not fit its field with the terminator would be cut
  // into another password than the one asked for.
  if (oldPassword.size() >= kPasswordFieldSize || newPassword.size() >= kPasswordFieldSize) return -1;
  std::memset(table, 0, kUserTableSize);
  if (Lib().SdkGetUserTable(record.loginHandle, table, kUserTableTimeoutMs) != 1) return -1;

  const uint8_t* entry = nullptr;
  for (int i = 0; i < kUserEntryCount && !entry; ++i) {
    const uint8_t* candidate = table + kUserTableEntriesOffset + static_cast<std::size_t>(i) * kUserEntrySize;
    const char* name = reinterpret_cast<const char*>(candidate + kUserEntryNameOffset);
    const std::size_t length = strnlen(name, kNameFieldSize);
    if (length == record.userName.size() && std::memcmp(name, record.userName.data(), length) == 0) entry = candidate;
  }
  if (!entry) return -1;

  // Two copies of the entry: one carries the old password, one the new; the
  // bytes after each terminator keep the entry's content.
  std::vector<uint8_t> withOld(entry, entry + kUserEntrySize);
  std::vector<uint8_t> withNew(entry, entry + kUserEntrySize);
  const auto writePassword = [](std::vector<uint8_t>& copy, const std::string& password) {
    std::memcpy(copy.data() + kUserEntryPasswordOffset, password.data(), password.size());
    copy[kUserEntryPasswordOffset + password.size()] = 0;
  };
  writePassword(withOld, oldPassword);
  writePassword(withNew, newPassword);
  return Lib().SdkModifyUser(record.loginHandle, kModifyUserPassword, withNew.data(), withOld.data(),
                             kModifyUserTimeoutMs);
}

int CDlgOperate::SetDevicePorts(DeviceRecord& record, const BatchPortsPayload& payload) {
  using namespace devicelib;
  std::array<uint8_t, kBlockNetworkPortsSize> ports{};
  std::array<uint8_t, kBlockRtspPortSize> rtsp{};
  int size = 0;
  if (Lib().SdkGetParameter(record.loginHandle, kBlockNetworkPorts, -1, ports.data(), kBlockNetworkPortsSize, &size,
                            -1, 0, 0) != 1)
    return -1;
  if (Lib().SdkGetParameter(record.loginHandle, kBlockRtspPort, -1, rtsp.data(), kBlockRtspPortSize, &size, -1, 0,
                            0) != 1)
    return -1;

  PutLe(ports.data() + kHttpPortOffset, static_cast<uint32_t>(payload.httpPort), 4);
  PutLe(ports.data() + kTcpPortOffset, static_cast<uint32_t>(payload.tcpPort), 4);
  PutLe(rtsp.data(), payload.rtspPort, 2);

  const bool portsWritten =
      Lib().SdkSetParameter(record.loginHandle, kBlockNetworkPorts, -1, ports.data(), kBlockNetworkPortsSize, -1) == 1;
  if (portsWritten) {
    record.httpPort = static_cast<uint16_t>(GetLe(ports.data() + kHttpPortOffset, 4));
    record.tcpPort = static_cast<uint16_t>(GetLe(ports.data() + kTcpPortOffset, 4));
    if (record.onvifPort != 0) record.onvifPort = record.httpPort;
  }
  const bool rtspWritten =
      Lib().SdkSetParameter(record.loginHandle, kBlockRtspPort, -1, rtsp.data(), kBlockRtspPortSize, -1) == 1;
  if (!portsWritten && !rtspWritten) return -1;
  // The new ports take effect when the device starts again.
  Lib().SdkReboot(record.loginHandle);
  return 1;
}
