// Arbitrary datagrams through both ends of the LAN configuration protocol:
// the program's checks of probe replies and authenticated echoes, and the
// devices' reading of probes and changes. Nothing may crash or read outside
// the datagram.
//
// The input also describes one change (MAC, addresses, DHCP mode, password),
// and the two sides, which read the layouts each on their own, must agree on
// it: the device applies exactly what the program's datagrams carry, its echo
// of an authenticated change is confirmed, and the program matches the
// device's probe reply to that MAC.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/device/device_record.h"
#include "core/lanconfig/lan_datagrams.h"
#include "tools/lanresponder/device_fleet.h"

namespace {

const lanconfig::ChangeV3Datagram& SentChange() {
  static const lanconfig::ChangeV3Datagram sent = [] {
    DeviceRecord r;
    r.mac = "00:1A:2B:3C:4D:5E";
    r.ip = "192.168.1.77";
    r.gateway = "192.168.1.1";
    r.netmask = "255.255.255.0";
    r.dns1 = "8.8.8.8";
    r.dns2 = "8.8.4.4";
    r.dhcpMode = 2;
    r.password = "pw";
    lanconfig::ChangeV3Datagram d{};
    lanconfig::BuildChangeV3(r, d);
    return d;
  }();
  return sent;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

std::string Dotted(const uint8_t* b) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
  return text;
}

// MAC (6), IP, mask, gateway, DNS 1, DNS 2 (4 each), DHCP mode (1), then the
// password (at most 96 bytes, no NUL).
constexpr size_t kChangeBytes = 6 + 5 * 4 + 1;

void EncodedChangesReachTheDevice(const uint8_t* data, size_t size) {
  if (size < kChangeBytes) return;
  char mac[18];
  std::snprintf(mac, sizeof mac, "%02X:%02X:%02X:%02X:%02X:%02X", data[0], data[1], data[2], data[3], data[4],
                data[5]);
  DeviceRecord r;
  r.mac = mac;
  r.ip = Dotted(data + 6);
  r.netmask = Dotted(data + 10);
  r.gateway = Dotted(data + 14);
  r.dns1 = Dotted(data + 18);
  r.dns2 = Dotted(data + 22);
  r.dhcpMode = data[26];
  for (size_t i = kChangeBytes; i < size && r.password.size() < 96; ++i)
    r.password += static_cast<char>(data[i] ? data[i] : 'x');

  lanresponder::SimulatedDevice device;
  device.mac = mac;
  device.capabilities = 0x08;
  device.adminPassword = r.password;

  // Plain change: address, gateway and mask.
  {
    lanresponder::DeviceFleet fleet;
    Check(fleet.Add(device));
    const auto v2 = lanconfig::BuildChangeV2(r);
    const auto out = fleet.Handle(v2.data(), v2.size());
    Check(out.kind == lanresponder::DatagramKind::kChangeV2 && out.changes.size() == 1);
    const auto& after = out.changes[0].after;
    Check(after.ip == r.ip && after.netmask == r.netmask && after.gateway == r.gateway);
  }
  // Authenticated change: every value, and the echo confirms it.
  {
    lanresponder::DeviceFleet fleet;
    Check(fleet.Add(device));
    lanconfig::ChangeV3Datagram v3{};
    Check(lanconfig::BuildChangeV3(r, v3));
    const auto out = fleet.Handle(v3.data(), v3.size());
    Check(out.kind == lanresponder::DatagramKind::kChangeV3 && out.changes.size() == 1);
    const lanresponder::DeviceNetwork expected{r.ip, r.netmask, r.gateway, r.dns1, r.dns2, r.dhcpMode};
    Check(out.changes[0].after == expected);
    bool confirmed = false;
    for (const auto& a : out.answers)
      confirmed |= lanconfig::ClassifyV3Reply(a.bytes.data(), a.bytes.size(), v3) == lanconfig::V3Reply::kConfirmed;
    Check(confirmed);
  }
  // The device's probe reply names this MAC for the program.
  const auto reply = lanresponder::BuildProbeReply(*lanresponder::ParseMac(mac));
  Check(lanconfig::IsProbeReply(reply.data(), reply.size()));
  Check(lanconfig::ProbeReplyMatchesKey(reply.data(), reply.size(), lanconfig::MacKey(mac)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  EncodedChangesReachTheDevice(data, size);
  // The program receives into a 1024-byte buffer; the checks see at most that.
  const size_t received = size < 1024 ? size : 1024;
  if (lanconfig::IsProbeReply(data, received)) {
    lanconfig::ProbeReplyMatchesKey(data, received, "001A2B3C4D5E");
    lanconfig::ProbeReplyMatchesKey(data, received, "001a2b");
  }
  lanconfig::ClassifyV3Reply(data, received, SentChange());

  // A fresh fleet each time, so every input starts from the same devices.
  lanresponder::DeviceFleet fleet;
  lanresponder::SimulatedDevice camera;
  camera.mac = "00:1A:2B:3C:4D:5E";
  camera.capabilities = 0x08;
  camera.adminPassword = "pw";
  fleet.Add(camera);
  lanresponder::SimulatedDevice recorder;
  recorder.mac = "00:1A:2B:3C:4D:60";
  recorder.misbehaviour.junk = lanresponder::JunkMode::kBeforeAnswer;
  fleet.Add(recorder);
  const lanresponder::Outcome out = fleet.Handle(data, size);
  for (const auto& answer : out.answers) {
    // What the devices send back must itself be safe to check.
    lanconfig::ClassifyV3Reply(answer.bytes.data(), answer.bytes.size(), SentChange());
    lanconfig::IsProbeReply(answer.bytes.data(), answer.bytes.size());
  }
  return 0;
}
