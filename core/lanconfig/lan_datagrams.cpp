#include "core/lanconfig/lan_datagrams.h"

#include <arpa/inet.h>
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "core/device/device_record.h"

namespace lanconfig {
namespace {

bool TagEqualsIgnoringCase(const uint8_t* data, std::string_view tag) {
  for (size_t i = 0; i < tag.size(); ++i) {
    const auto a = static_cast<unsigned char>(std::tolower(data[i]));
    const auto b = static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(tag[i])));
    if (a != b) return false;
  }
  return true;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void Put(uint8_t* at, const Ipv4Bytes& b) { std::memcpy(at, b.data(), b.size()); }

}  // namespace

Ipv4Bytes AddressBytes(const std::string& dotted) {
  const in_addr_t a = inet_addr(dotted.c_str());  // INADDR_NONE when it does not parse
  Ipv4Bytes out{};
  std::memcpy(out.data(), &a, out.size());
  return out;
}

MacBytes MacTextBytes(const std::string& macText) {
  MacBytes out{};
  for (size_t group = 0; group < out.size(); ++group) {
    const size_t pos = group * 3;
    unsigned value = 0;
    // A group is read like "%x" over its two characters: leading hex digits.
    for (size_t k = 0; k < 2 && pos + k < macText.size(); ++k) {
      const int digit = HexDigitValue(macText[pos + k]);
      if (digit < 0) break;
      value = value * 16 + static_cast<unsigned>(digit);
    }
    out[group] = static_cast<uint8_t>(value & 0xFF);
  }
  return out;
}

std::string MacKey(const std::string& macText) {
  std::string key;
  for (char c : macText)
    if (std::isalnum(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 0x80) key += c;
  return key;
}

ProbeDatagram BuildProbe() {
  ProbeDatagram out{};
  std::memcpy(out.data(), kProbeTag.data(), kProbeTag.size());
  return out;
}

bool IsProbeReply(const uint8_t* data, size_t size) {
  return size == kProbeReplySize && TagEqualsIgnoringCase(data, kProbeTag);
}

bool ProbeReplyMatchesKey(const uint8_t* data, size_t size, const std::string& key) {
  if (size != kProbeReplySize) return false;
  static constexpr char kDigits[] = "0123456789ABCDEF";
  char hex[13] = {};
  for (size_t i = 0; i < 6; ++i) {
    const uint8_t b = data[kProbeReplyMacOffset + i];
    hex[2 * i] = kDigits[b >> 4];
    hex[2 * i + 1] = kDigits[b & 0x0F];
  }
  // Over the key's length: a longer key runs into the terminating zero and
  // fails; a key with an embedded NUL cannot come from MacKey.
  return strncasecmp(hex, key.c_str(), key.size()) == 0;
}

ChangeV2Datagram BuildChangeV2(const DeviceRecord& request) {
  ChangeV2Datagram out{};
  std::memcpy(out.data(), kChangeV2Tag.data(), kChangeV2Tag.size());
  const MacBytes mac = MacTextBytes(request.mac);
  std::memcpy(out.data() + 13, mac.data(), mac.size());
  // 19..20 reserved, zero
  Put(out.data() + 21, AddressBytes(request.ip));
  Put(out.data() + 25, AddressBytes(request.gateway));
  Put(out.data() + 29, AddressBytes(request.netmask));
  return out;
}

bool PasswordFitsV3(const std::string& password) { return password.size() <= v3::kTextField; }

bool BuildChangeV3(const DeviceRecord& request, ChangeV3Datagram& out) {
  if (!PasswordFitsV3(request.password)) return false;
  out.fill(0);
  std::memcpy(out.data(), kChangeV3Tag.data(), kChangeV3Tag.size());
  uint8_t* body = out.data() + kV3BodyOffset;
  body[v3::kMagic0] = 0x24;
  body[v3::kMagic1] = 0xEC;
  body[v3::kDirection] = 0x00;
  body[v3::kVersion] = 0x01;
  const MacBytes mac = MacTextBytes(request.mac);
  std::memcpy(body + v3::kMac, mac.data(), mac.size());
  body[v3::kCommand + 0] = 0x01;
  body[v3::kCommand + 1] = 0x00;
  body[v3::kCommand + 2] = 0x00;
  body[v3::kCommand + 3] = 0x80;
  body[v3::kStatus] = 0;
  std::memcpy(body + v3::kUserName, "admin", 5);
  std::memcpy(body + v3::kPassword, request.password.data(), request.password.size());
  Put(body + v3::kIp, AddressBytes(request.ip));
  Put(body + v3::kGateway, AddressBytes(request.gateway));
  Put(body + v3::kMask, AddressBytes(request.netmask));
  Put(body + v3::kDns1, AddressBytes(request.dns1));
  Put(body + v3::kDns2, AddressBytes(request.dns2));
  body[v3::kDhcpMode] = request.dhcpMode;
  return true;
}

V3Reply ClassifyV3Reply(const uint8_t* data, size_t size, const ChangeV3Datagram& sent) {
  if (size != kChangeV3Size || !TagEqualsIgnoringCase(data, kChangeV3Tag)) return V3Reply::kNotAReply;
  const uint8_t* body = data + kV3BodyOffset;
  const uint8_t* request = sent.data() + kV3BodyOffset;
  const uint32_t command = static_cast<uint32_t>(body[v3::kCommand]) |
                           static_cast<uint32_t>(body[v3::kCommand + 1]) << 8 |
                           static_cast<uint32_t>(body[v3::kCommand + 2]) << 16 |
                           static_cast<uint32_t>(body[v3::kCommand + 3]) << 24;
  if (body[v3::kDirection] != 0x01 || std::memcmp(body + v3::kMac, request + v3::kMac, 6) != 0 ||
      command != v3::kCommandWord)
    return V3Reply::kNotAReply;
  if (body[v3::kStatus] == 0) return V3Reply::kRefused;
  // IP, gateway, mask, DNS 1 and DNS 2 stand side by side, the DHCP byte after them.
  const bool same = std::memcmp(body + v3::kIp, request + v3::kIp, 20) == 0 &&
                    body[v3::kDhcpMode] == request[v3::kDhcpMode];
  return same ? V3Reply::kConfirmed : V3Reply::kMismatch;
}

}  // namespace lanconfig
