#pragma once
// One device as the LAN responder plays it: its identity, its network
// settings and the ways it can misbehave on demand.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace lanresponder {

using MacAddress = std::array<uint8_t, 6>;

// "AA:BB:CC:DD:EE:FF" (either letter case, ':' or '-') -> bytes; nullopt
// when the text is not six two-digit hexadecimal pairs.
std::optional<MacAddress> ParseMac(const std::string& text);
// Bytes -> "AA:BB:CC:DD:EE:FF".
std::string FormatMac(const MacAddress& mac);

// The settings the datagrams change, as dotted texts.
struct DeviceNetwork {
  std::string ip = "192.168.1.10";
  std::string netmask = "255.255.255.0";
  std::string gateway = "192.168.1.1";
  std::string dns1 = "8.8.8.8";
  std::string dns2 = "8.8.4.4";
  uint8_t dhcpMode = 2;  // 1 DHCP on, 2 off

  bool operator==(const DeviceNetwork&) const = default;
};

enum class JunkMode {
  kNone,
  kBeforeAnswer,     // a burst of junk datagrams (see JunkDatagrams) before every answer
  kInsteadOfAnswer,  // only the junk, never the answer
};

struct Misbehaviour {
  bool silent = false;          // hears nothing: never answers, applies nothing
  uint32_t replyDelayMs = 0;    // every answer leaves this much later
  bool refuse = false;          // an authenticated change is answered with status 0, not applied
  std::string echoGateway;      // non-empty: the authenticated echo (and the applied value) carries this gateway
  std::string answerAsMac;      // non-empty: probe replies and echoes carry this MAC instead of the device's
  JunkMode junk = JunkMode::kNone;

  bool operator==(const Misbehaviour&) const = default;
};

struct SimulatedDevice {
  std::string mac;              // "AA:BB:CC:DD:EE:FF"; the identity the datagrams match
  DeviceNetwork network;
  uint8_t capabilities = 0;     // bit 3: takes the authenticated change (and answers it)
  std::string adminPassword = "admin";
  Misbehaviour misbehaviour;

  bool TakesAuthenticatedChange() const { return (capabilities & 0x08) != 0; }
};

}  // namespace lanresponder
