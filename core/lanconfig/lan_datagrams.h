#pragma once
// Byte layouts of the LAN configuration datagrams, as the program sends and
// checks them. Pure functions over bytes; the sockets live in
// lan_config_channel.h.
//
//   search probe   16 bytes   "DADADI.SEARCH.V1"
//   probe reply   152 bytes   tag (any letter case), MAC at 106..111
//   change V2      33 bytes   "DADADI.CFG.V2", MAC, 2 reserved, IP, gateway, mask
//   change V3     285 bytes   "DADADI.CFG.V3" + 272-byte body (offsets below);
//                             the device echoes it with body byte 2 = 1

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct DeviceRecord;

namespace lanconfig {

inline constexpr std::string_view kProbeTag = "DADADI.SEARCH.V1";
inline constexpr std::string_view kChangeV2Tag = "DADADI.CFG.V2";
inline constexpr std::string_view kChangeV3Tag = "DADADI.CFG.V3";

inline constexpr size_t kProbeSize = 16;
inline constexpr size_t kProbeReplySize = 152;
inline constexpr size_t kProbeReplyMacOffset = 106;
inline constexpr size_t kChangeV2Size = 33;
inline constexpr size_t kChangeV3Size = 285;
inline constexpr size_t kV3BodyOffset = 13;  // the body follows the tag

// Offsets inside the V3 body (add kV3BodyOffset for the datagram).
namespace v3 {
inline constexpr size_t kMagic0 = 0;      // 0x24
inline constexpr size_t kMagic1 = 1;      // 0xEC
inline constexpr size_t kDirection = 2;   // 0 request, 1 reply
inline constexpr size_t kVersion = 3;     // 0x01
inline constexpr size_t kMac = 4;         // 6 bytes
inline constexpr size_t kCommand = 12;    // 0x80000001, little-endian
inline constexpr size_t kStatus = 16;     // 0 = refused (reply)
inline constexpr size_t kUserName = 36;   // 96 bytes, "admin"
inline constexpr size_t kPassword = 132;  // 96 bytes
inline constexpr size_t kIp = 228;
inline constexpr size_t kGateway = 232;
inline constexpr size_t kMask = 236;
inline constexpr size_t kDns1 = 240;
inline constexpr size_t kDns2 = 244;
inline constexpr size_t kDhcpMode = 248;
inline constexpr size_t kTextField = 96;
inline constexpr uint32_t kCommandWord = 0x80000001u;
}  // namespace v3

using MacBytes = std::array<uint8_t, 6>;
using Ipv4Bytes = std::array<uint8_t, 4>;
using ProbeDatagram = std::array<uint8_t, kProbeSize>;
using ChangeV2Datagram = std::array<uint8_t, kChangeV2Size>;
using ChangeV3Datagram = std::array<uint8_t, kChangeV3Size>;

// A dotted text as the 4 bytes inet_addr returns (network order); a text that
// does not parse gives 255.255.255.255.
Ipv4Bytes AddressBytes(const std::string& dotted);

// The six groups at character positions 0, 3, 6, 9, 12 and 15 of a MAC text,
// each read as a hexadecimal number (low 8 bits). A missing group reads 0.
MacBytes MacTextBytes(const std::string& macText);

// The MAC text with every character that is not an ASCII letter or digit
// removed: the key a probe reply is matched against.
std::string MacKey(const std::string& macText);

ProbeDatagram BuildProbe();

// A 152-byte datagram starting with the probe tag in any letter case.
bool IsProbeReply(const uint8_t* data, size_t size);

// The reply's MAC bytes as twelve upper-case hexadecimal digits equal the key,
// without regard to letter case, over the key's length. size must be 152.
bool ProbeReplyMatchesKey(const uint8_t* data, size_t size, const std::string& key);

ChangeV2Datagram BuildChangeV2(const DeviceRecord& request);

// false (and nothing built) when the password does not fit its 96-byte field.
bool PasswordFitsV3(const std::string& password);
bool BuildChangeV3(const DeviceRecord& request, ChangeV3Datagram& out);

enum class V3Reply {
  kNotAReply,  // wrong size or tag, or fails an identity check: ignored
  kRefused,    // status 0
  kMismatch,   // an echoed value differs from the request's
  kConfirmed,  // every value echoed
};

// Evaluates a received datagram against the request that was sent.
V3Reply ClassifyV3Reply(const uint8_t* data, size_t size, const ChangeV3Datagram& sent);

}  // namespace lanconfig
