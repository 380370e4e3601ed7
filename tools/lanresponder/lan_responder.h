#pragma once
// LanResponder: plays one or more devices on the LAN configuration protocol.
//
// It listens on UDP port 5000 (by default on 0.0.0.0) and, for every
// datagram, does what the devices of its fleet would do:
//   - "DADADI.SEARCH.V1" probe: every device answers with its 152-byte probe
//     reply (the MAC at offset 106);
//   - "DADADI.CFG.V2" change for a device's MAC: the device takes the new IP,
//     gateway and mask (no answer, as real devices);
//   - "DADADI.CFG.V3" change for the MAC of a device with capability bit 3:
//     with user "admin" and the device's administrator password the device
//     takes IP, mask, gateway, DNS 1/2 and DHCP mode and answers with the
//     285-byte echo (status 1); with a wrong password it answers status 0.
// Answers go to port 5001 (replyPort) of the sender. A device whose subnet
// does not hold the sender's address (it could not route to it) broadcasts
// the answer to broadcastIp:replyPort instead, as devices do; so does any
// device whose unicast send fails. Loopback senders are always answered by
// unicast, so tests on loopback never broadcast.
//
// Misbehaviour per device (SimulatedDevice::misbehaviour, changeable at any
// time): silent, late answers, refusal, another gateway echoed, answers for
// another MAC, junk datagrams before or instead of answers.
//
// Use:
//   lanresponder::LanResponder responder;               // the protocol's ports
//   lanresponder::SimulatedDevice camera;
//   camera.mac = "00:12:34:56:78:9A";
//   camera.capabilities = 0x08;                          // takes the authenticated change
//   camera.adminPassword = "admin123";
//   responder.AddDevice(camera);
//   responder.SetChangeHook([&](const lanresponder::NetworkChange& c) {
//     fleet.Apply(c.mac, c.after);                       // e.g. the simulator's own fleet
//   });
//   std::string error;
//   if (!responder.Start(&error)) ...;
//   ...
//   responder.Stop();                                   // also done by the destructor
//
// Threads: Start() runs one worker thread that receives and answers. Every
// public member may be called from any thread. The change hook runs on the
// worker thread, after the device's settings were updated and before its
// answer leaves, with no lock of the responder held (it may call back into
// the responder, e.g. Device()). A hook that blocks delays every answer.
//
// Network safety: with the default endpoints the responder binds 0.0.0.0:5000
// and may broadcast to 255.255.255.255: run it only inside the private
// namespace of scripts/netns-run. Elsewhere pass loopback endpoints
// (bindIp "127.0.0.1", listenPort 0 for a free port).

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tools/lanresponder/device_fleet.h"
#include "tools/lanresponder/simulated_device.h"

namespace lanresponder {

struct ResponderEndpoints {
  std::string bindIp = "0.0.0.0";
  uint16_t listenPort = 5000;  // 0: any free port, see ListenPort()
  uint16_t replyPort = 5001;   // answers go to this port of the sender
  std::string broadcastIp = "255.255.255.255";
};

using NetworkChangeHook = std::function<void(const NetworkChange&)>;

// One datagram the responder received, for tests and logs.
struct HeardDatagram {
  DatagramKind kind = DatagramKind::kOther;
  std::string targetMac;  // of a change
  size_t size = 0;
  std::string senderIp;
  uint16_t senderPort = 0;
  std::chrono::steady_clock::time_point at;
};

// One datagram the responder sent.
struct SentAnswer {
  std::string fromMac;
  size_t size = 0;
  bool junk = false;
  bool broadcast = false;
  std::string toIp;
  uint16_t toPort = 0;
};

class LanResponder {
 public:
  explicit LanResponder(ResponderEndpoints endpoints = {});
  ~LanResponder();
  LanResponder(const LanResponder&) = delete;
  LanResponder& operator=(const LanResponder&) = delete;

  // false when the MAC does not parse or is already played.
  bool AddDevice(const SimulatedDevice& device);
  bool RemoveDevice(const std::string& mac);
  // A copy of the device as it stands now (its settings after changes).
  std::optional<SimulatedDevice> Device(const std::string& mac) const;
  std::vector<SimulatedDevice> Devices() const;
  bool SetMisbehaviour(const std::string& mac, const Misbehaviour& misbehaviour);
  bool SetNetwork(const std::string& mac, const DeviceNetwork& network);
  void SetChangeHook(NetworkChangeHook hook);

  // Binds and starts the worker. false with the reason when the socket
  // cannot be made or bound.
  bool Start(std::string* error = nullptr);
  void Stop();
  bool Running() const { return running_; }
  uint16_t ListenPort() const { return boundPort_; }

  std::vector<HeardDatagram> Heard() const;
  size_t CountHeard(DatagramKind kind) const;
  std::vector<SentAnswer> Sent() const;
  void ClearLog();
  // Waits until at least `count` datagrams of `kind` were heard; false on timeout.
  bool WaitForHeard(DatagramKind kind, size_t count, std::chrono::milliseconds timeout) const;

 private:
  struct Pending {
    std::chrono::steady_clock::time_point due;
    Answer answer;
    uint32_t senderAddress;  // network order
  };

  void Run();
  void Receive();
  void SendDue(std::chrono::steady_clock::time_point now);
  void SendAnswer(const Pending& pending);

  ResponderEndpoints endpoints_;
  int socket_ = -1;
  int wakePipe_[2] = {-1, -1};
  uint16_t boundPort_ = 0;
  std::atomic<bool> running_{false};
  std::thread worker_;

  std::vector<Pending> pending_;  // worker thread only

  mutable std::mutex mutex_;  // guards everything below
  mutable std::condition_variable heardChanged_;
  DeviceFleet fleet_;
  NetworkChangeHook hook_;
  std::vector<HeardDatagram> heard_;
  std::vector<SentAnswer> sent_;
};

}  // namespace lanresponder
