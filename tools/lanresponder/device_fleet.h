#pragma once
// What the devices of a LAN do with one datagram that reached port 5000:
// the device side of the LAN configuration protocol, as a pure function of
// the fleet's state and the bytes, with no sockets. LanResponder runs it on
// received datagrams; the fuzz target runs it on arbitrary bytes.
//
// The device side reads the datagrams on its own (it does not share the
// program's encoder), so a layout fault on either side shows in the tests.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/lanresponder/simulated_device.h"

namespace lanresponder {

enum class DatagramKind { kProbe, kChangeV2, kChangeV3, kOther };

// A network change that a device applied.
struct NetworkChange {
  std::string mac;         // the device's MAC text, as it was added
  int variant = 0;         // 2 plain, 3 authenticated
  DeviceNetwork before;
  DeviceNetwork after;
};

// One datagram a device sends back (to port 5001 of the sender).
struct Answer {
  std::string fromMac;     // the device that answers
  std::vector<uint8_t> bytes;
  uint32_t delayMs = 0;
  bool junk = false;
  DeviceNetwork network;   // the device's settings when it answered (its reachability)
};

struct Outcome {
  DatagramKind kind = DatagramKind::kOther;
  std::string targetMac;   // the MAC a change was addressed to ("" for probes and others)
  std::vector<Answer> answers;
  std::vector<NetworkChange> changes;
};

inline constexpr size_t kDeviceProbeReplySize = 152;
inline constexpr size_t kDeviceChangeV2Size = 33;
inline constexpr size_t kDeviceChangeV3Size = 285;

class DeviceFleet {
 public:
  // false when the MAC does not parse or is already in the fleet.
  bool Add(const SimulatedDevice& device);
  bool Remove(const std::string& mac);
  SimulatedDevice* Find(const std::string& mac);
  const SimulatedDevice* Find(const std::string& mac) const;
  const std::vector<SimulatedDevice>& Devices() const { return devices_; }

  // Applies what the datagram asks of the devices and says who answers what.
  Outcome Handle(const uint8_t* data, size_t size);

 private:
  void HandleProbe(Outcome& out);
  void HandleChangeV2(const uint8_t* data, Outcome& out);
  void HandleChangeV3(const uint8_t* data, Outcome& out);
  void AddAnswer(const SimulatedDevice& device, std::vector<uint8_t> bytes, Outcome& out) const;

  std::vector<SimulatedDevice> devices_;
};

// The probe reply a device sends: 152 bytes, the tag, the MAC at 106.
std::vector<uint8_t> BuildProbeReply(const MacAddress& mac);

// The junk a misbehaving device sends: datagrams of every length that matters
// to the program's checks (0 to 1500 bytes: short, one off the expected sizes,
// the expected sizes with a wrong tag, a wrong MAC, a wrong direction or
// command word, and larger than the program's buffer). None of them is a
// valid answer for `mac`.
std::vector<std::vector<uint8_t>> JunkDatagrams(const MacAddress& mac);

}  // namespace lanresponder
