#include "core/device/sdk_device_info.h"

#include <algorithm>
#include <cstring>

namespace sdkinfo {
namespace {

std::string ReadText(std::span<const uint8_t> rec, TextField f) {
  const auto* begin = reinterpret_cast<const char*>(rec.data() + f.offset);
  const auto* end = static_cast<const char*>(std::memchr(begin, '\0', f.span));
  return std::string(begin, end ? end : begin + f.span);
}

uint32_t ReadLe(std::span<const uint8_t> rec, std::size_t offset, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | rec[offset + static_cast<std::size_t>(i)];
  return v;
}

void WriteText(std::span<uint8_t> out, TextField f, const std::string& text) {
  std::memset(out.data() + f.offset, 0, f.span);
  std::memcpy(out.data() + f.offset, text.data(), std::min(text.size(), f.span));
}

void WriteLe(std::span<uint8_t> out, std::size_t offset, int bytes, uint32_t v) {
  for (int i = 0; i < bytes; ++i) out[offset + static_cast<std::size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

DeviceRecord ReadRecord(std::span<const uint8_t> rec) {
  DeviceRecord r;
  r.ip = ReadText(rec, kIp);
  r.tcpPort = static_cast<uint16_t>(ReadLe(rec, kTcpPort, 2));
  r.netmask = ReadText(rec, kNetmask);
  r.gateway = ReadText(rec, kGateway);
  r.mac = ReadText(rec, kMac);
  r.type = ReadText(rec, kType);
  r.customerCode = ReadText(rec, kCustomerCode);
  r.capabilities = static_cast<int32_t>(rec[kCapabilities]);
  r.dns1 = ReadText(rec, kDns1);
  r.dns2 = ReadText(rec, kDns2);
  r.model = ReadText(rec, kModel);
  r.cloudId = ReadText(rec, kCloudId);
  r.version = ReadText(rec, kVersion);
  r.kind = static_cast<int32_t>(ReadLe(rec, kKind, 4));
  r.devTime = ReadText(rec, kDevTime);
  r.releaseTime = ReadText(rec, kReleaseTime);
  r.devStartTime = ReadText(rec, kDevStartTime);
  r.dhcpMode = rec[kDhcpMode];
  r.httpPort = static_cast<uint16_t>(ReadLe(rec, kHttpPort, 2));
  if (r.kind == 0) {
    r.onvifCapable = 1;
    r.onvifPort = r.httpPort;
  }
  r.valid = true;
  if (r.model.empty()) r.model = kEmptyModel;
  return r;
}

void WriteRecord(const DeviceRecord& r, std::span<uint8_t> out) {
  std::fill_n(out.begin(), kRecordSize, uint8_t{0});
  WriteText(out, kIp, r.ip);
  WriteLe(out, kTcpPort, 2, r.tcpPort);
  WriteText(out, kNetmask, r.netmask);
  WriteText(out, kGateway, r.gateway);
  WriteText(out, kMac, r.mac);
  WriteText(out, kType, r.type);
  WriteText(out, kCustomerCode, r.customerCode);
  out[kCapabilities] = static_cast<uint8_t>(r.capabilities);
  WriteText(out, kDns1, r.dns1);
  WriteText(out, kDns2, r.dns2);
  WriteText(out, kModel, r.model);
  WriteText(out, kCloudId, r.cloudId);
  WriteText(out, kVersion, r.version);
  WriteLe(out, kKind, 4, static_cast<uint32_t>(r.kind));
  WriteText(out, kDevTime, r.devTime);
  WriteText(out, kReleaseTime, r.releaseTime);
  WriteText(out, kDevStartTime, r.devStartTime);
  out[kDhcpMode] = r.dhcpMode;
  WriteLe(out, kHttpPort, 2, r.httpPort);
}

}  // namespace sdkinfo
