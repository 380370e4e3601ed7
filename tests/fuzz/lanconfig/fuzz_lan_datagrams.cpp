// Arbitrary datagrams through both ends of the LAN configuration protocol:
// the program's checks of probe replies and authenticated echoes, and the
// devices' reading of probes and changes. Nothing may crash or read outside
// the datagram.
#include <cstddef>
#include <cstdint>
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
