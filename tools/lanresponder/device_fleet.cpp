#include "tools/lanresponder/device_fleet.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

namespace lanresponder {
namespace {

// Datagram offsets as a device reads them.
constexpr char kProbeTag[] = "DADADI.SEARCH.V1";  // 16 bytes
constexpr char kV2Tag[] = "DADADI.CFG.V2";        // 13 bytes
constexpr char kV3Tag[] = "DADADI.CFG.V3";        // 13 bytes
constexpr size_t kTagV1Length = 16;
constexpr size_t kTagCfgLength = 13;
constexpr size_t kReplyMacAt = 106;

constexpr size_t kV2MacAt = 13, kV2IpAt = 21, kV2GatewayAt = 25, kV2MaskAt = 29;

constexpr size_t kV3MagicAt = 13;      // 0x24 0xEC
constexpr size_t kV3DirectionAt = 15;  // 0 request, 1 reply
constexpr size_t kV3VersionAt = 16;    // 0x01
constexpr size_t kV3MacAt = 17;
constexpr size_t kV3CommandAt = 25;    // 01 00 00 80
constexpr size_t kV3StatusAt = 29;
constexpr size_t kV3UserAt = 49;
constexpr size_t kV3PasswordAt = 145;
constexpr size_t kV3TextLength = 96;
constexpr size_t kV3IpAt = 241, kV3GatewayAt = 245, kV3MaskAt = 249, kV3Dns1At = 253, kV3Dns2At = 257;
constexpr size_t kV3DhcpAt = 261;

bool StartsWith(const uint8_t* data, size_t size, const char* tag, size_t tagLength) {
  return size >= tagLength && std::memcmp(data, tag, tagLength) == 0;
}

std::string DottedAt(const uint8_t* at) {
  char text[INET_ADDRSTRLEN] = {};
  in_addr a{};
  std::memcpy(&a, at, 4);
  inet_ntop(AF_INET, &a, text, sizeof text);
  return text;
}

void PutDotted(uint8_t* at, const std::string& dotted) {
  in_addr a{};
  if (inet_pton(AF_INET, dotted.c_str(), &a) != 1) a.s_addr = INADDR_NONE;
  std::memcpy(at, &a, 4);
}

// A zero-padded text field, read up to its first NUL but never past its end.
std::string FieldText(const uint8_t* at, size_t length) {
  const auto* end = static_cast<const uint8_t*>(std::memchr(at, 0, length));
  return std::string(reinterpret_cast<const char*>(at), end != nullptr ? static_cast<size_t>(end - at) : length);
}

bool SameMac(const uint8_t* at, const MacAddress& mac) { return std::memcmp(at, mac.data(), mac.size()) == 0; }

MacAddress AnswerMac(const SimulatedDevice& device) {
  if (!device.misbehaviour.answerAsMac.empty())
    if (auto other = ParseMac(device.misbehaviour.answerAsMac)) return *other;
  return *ParseMac(device.mac);
}

}  // namespace

std::optional<MacAddress> ParseMac(const std::string& text) {
  if (text.size() != 17) return std::nullopt;
  MacAddress mac{};
  for (size_t i = 0; i < 6; ++i) {
    const size_t at = i * 3;
    if (i > 0 && text[at - 1] != ':' && text[at - 1] != '-') return std::nullopt;
    unsigned value = 0;
    for (size_t k = 0; k < 2; ++k) {
      const char c = text[at + k];
      unsigned digit;
      if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
      else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
      else return std::nullopt;
      value = value * 16 + digit;
    }
    mac[i] = static_cast<uint8_t>(value);
  }
  return mac;
}

std::string FormatMac(const MacAddress& mac) {
  char text[18];
  std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
  return text;
}

bool DeviceFleet::Add(const SimulatedDevice& device) {
  const auto mac = ParseMac(device.mac);
  if (!mac) return false;
  for (const auto& d : devices_)
    if (*ParseMac(d.mac) == *mac) return false;
  devices_.push_back(device);
  return true;
}

bool DeviceFleet::Remove(const std::string& mac) {
  const auto bytes = ParseMac(mac);
  if (!bytes) return false;
  const auto it = std::find_if(devices_.begin(), devices_.end(),
                               [&](const SimulatedDevice& d) { return *ParseMac(d.mac) == *bytes; });
  if (it == devices_.end()) return false;
  devices_.erase(it);
  return true;
}

const SimulatedDevice* DeviceFleet::Find(const std::string& mac) const {
  const auto bytes = ParseMac(mac);
  if (!bytes) return nullptr;
  for (const auto& d : devices_)
    if (*ParseMac(d.mac) == *bytes) return &d;
  return nullptr;
}

SimulatedDevice* DeviceFleet::Find(const std::string& mac) {
  return const_cast<SimulatedDevice*>(std::as_const(*this).Find(mac));
}

Outcome DeviceFleet::Handle(const uint8_t* data, size_t size) {
  Outcome out;
  if (data == nullptr) return out;
  if (size == kTagV1Length && StartsWith(data, size, kProbeTag, kTagV1Length)) {
    out.kind = DatagramKind::kProbe;
    HandleProbe(out);
  } else if (size == kDeviceChangeV2Size && StartsWith(data, size, kV2Tag, kTagCfgLength)) {
    out.kind = DatagramKind::kChangeV2;
    MacAddress target{};
    std::memcpy(target.data(), data + kV2MacAt, 6);
    out.targetMac = FormatMac(target);
    HandleChangeV2(data, out);
  } else if (size == kDeviceChangeV3Size && StartsWith(data, size, kV3Tag, kTagCfgLength) &&
             data[kV3MagicAt] == 0x24 && data[kV3MagicAt + 1] == 0xEC && data[kV3DirectionAt] == 0x00 &&
             data[kV3VersionAt] == 0x01 && data[kV3CommandAt] == 0x01 && data[kV3CommandAt + 1] == 0x00 &&
             data[kV3CommandAt + 2] == 0x00 && data[kV3CommandAt + 3] == 0x80) {
    out.kind = DatagramKind::kChangeV3;
    MacAddress target{};
    std::memcpy(target.data(), data + kV3MacAt, 6);
    out.targetMac = FormatMac(target);
    HandleChangeV3(data, out);
  }
  return out;
}

void DeviceFleet::AddAnswer(const SimulatedDevice& device, std::vector<uint8_t> bytes, Outcome& out) const {
  const Misbehaviour& m = device.misbehaviour;
  if (m.junk != JunkMode::kNone) {
    for (auto& junk : JunkDatagrams(*ParseMac(device.mac)))
      out.answers.push_back(Answer{device.mac, std::move(junk), m.replyDelayMs, true, device.network});
  }
  if (m.junk != JunkMode::kInsteadOfAnswer)
    out.answers.push_back(Answer{device.mac, std::move(bytes), m.replyDelayMs, false, device.network});
}

void DeviceFleet::HandleProbe(Outcome& out) {
  for (const auto& device : devices_) {
    if (device.misbehaviour.silent) continue;
    AddAnswer(device, BuildProbeReply(AnswerMac(device)), out);
  }
}

void DeviceFleet::HandleChangeV2(const uint8_t* data, Outcome& out) {
  for (auto& device : devices_) {
    if (device.misbehaviour.silent || !SameMac(data + kV2MacAt, *ParseMac(device.mac))) continue;
    NetworkChange change{device.mac, 2, device.network, device.network};
    change.after.ip = DottedAt(data + kV2IpAt);
    change.after.gateway = DottedAt(data + kV2GatewayAt);
    change.after.netmask = DottedAt(data + kV2MaskAt);
    device.network = change.after;
    out.changes.push_back(change);
  }
}

void DeviceFleet::HandleChangeV3(const uint8_t* data, Outcome& out) {
  for (auto& device : devices_) {
    const Misbehaviour& m = device.misbehaviour;
    if (m.silent || !device.TakesAuthenticatedChange() || !SameMac(data + kV3MacAt, *ParseMac(device.mac)))
      continue;
    const bool authorised = FieldText(data + kV3UserAt, kV3TextLength) == "admin" &&
                            FieldText(data + kV3PasswordAt, kV3TextLength) == device.adminPassword;
    std::vector<uint8_t> echo(data, data + kDeviceChangeV3Size);
    echo[kV3DirectionAt] = 0x01;
    // The password never travels back.
    std::memset(echo.data() + kV3PasswordAt, 0, kV3TextLength);
    if (!authorised || m.refuse) {
      echo[kV3StatusAt] = 0;
    } else {
      if (!m.echoGateway.empty()) PutDotted(echo.data() + kV3GatewayAt, m.echoGateway);
      NetworkChange change{device.mac, 3, device.network, device.network};
      change.after.ip = DottedAt(echo.data() + kV3IpAt);
      change.after.gateway = DottedAt(echo.data() + kV3GatewayAt);
      change.after.netmask = DottedAt(echo.data() + kV3MaskAt);
      change.after.dns1 = DottedAt(echo.data() + kV3Dns1At);
      change.after.dns2 = DottedAt(echo.data() + kV3Dns2At);
      change.after.dhcpMode = echo[kV3DhcpAt];
      device.network = change.after;
      out.changes.push_back(change);
      echo[kV3StatusAt] = 1;
    }
    const MacAddress answerMac = AnswerMac(device);
    std::memcpy(echo.data() + kV3MacAt, answerMac.data(), answerMac.size());
    AddAnswer(device, std::move(echo), out);
  }
}

std::vector<uint8_t> BuildProbeReply(const MacAddress& mac) {
  std::vector<uint8_t> reply(kDeviceProbeReplySize, 0);
  std::memcpy(reply.data(), kProbeTag, kTagV1Length);
  std::memcpy(reply.data() + kReplyMacAt, mac.data(), mac.size());
  return reply;
}

std::vector<std::vector<uint8_t>> JunkDatagrams(const MacAddress& mac) {
  std::vector<std::vector<uint8_t>> junk;
  auto filled = [](size_t size, uint8_t seed) {
    std::vector<uint8_t> d(size);
    for (size_t i = 0; i < size; ++i) d[i] = static_cast<uint8_t>(seed + i * 37);
    return d;
  };
  auto tagged = [&](size_t size, const char* tag, size_t tagLength) {
    std::vector<uint8_t> d = filled(size, 0x5A);
    std::memcpy(d.data(), tag, std::min(size, tagLength));
    return d;
  };
  for (size_t size : {0, 1, 13, 15, 16, 17, 33, 151, 153, 284, 286, 1023, 1024, 1025, 1500})
    junk.push_back(filled(size, static_cast<uint8_t>(size)));
  // A probe reply's size with a wrong tag, and one for another device.
  junk.push_back(tagged(kDeviceProbeReplySize, "DADADI.SEARCH.V2", kTagV1Length));
  MacAddress other = mac;
  other[5] ^= 0xFF;
  junk.push_back(BuildProbeReply(other));
  // An echo's size: wrong tag; right tag but a request (direction 0); right
  // tag but another command word; right tag but another device.
  junk.push_back(tagged(kDeviceChangeV3Size, "DADADI.CFG.V4", kTagCfgLength));
  for (int variant = 0; variant < 3; ++variant) {
    std::vector<uint8_t> d(kDeviceChangeV3Size, 0);
    std::memcpy(d.data(), kV3Tag, kTagCfgLength);
    d[kV3MagicAt] = 0x24;
    d[kV3MagicAt + 1] = 0xEC;
    d[kV3DirectionAt] = variant == 0 ? 0x00 : 0x01;
    d[kV3VersionAt] = 0x01;
    std::memcpy(d.data() + kV3MacAt, (variant == 2 ? other : mac).data(), 6);
    const uint8_t command[4] = {0x01, 0x00, 0x00, static_cast<uint8_t>(variant == 1 ? 0x00 : 0x80)};
    std::memcpy(d.data() + kV3CommandAt, command, 4);
    d[kV3StatusAt] = 1;
    junk.push_back(std::move(d));
  }
  return junk;
}

}  // namespace lanresponder
