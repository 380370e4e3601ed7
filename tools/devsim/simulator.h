#pragma once
// The device simulator: a fleet of SimDevices behind real sockets. It
// answers discovery queries on its discovery sockets, serves each device's
// sessions on the device's own address and TCP port, takes devices away and
// back on reboot, and applies network changes from the LAN datagrams.
//
// Loopback mode maps every device address a.b.c.d to 127.b.c.d, so that a
// fleet written with ordinary LAN addresses runs on a development machine
// without a packet leaving it.

#include <sys/socket.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "libs/devicelink/socket_io.h"
#include "libs/devicelink/wire_format.h"
#include "tools/devsim/device_protocol.h"
#include "tools/devsim/event_loop.h"
#include "tools/devsim/fleet_file.h"
#include "tools/devsim/interface_addresses.h"
#include "tools/devsim/sim_device.h"
#include "tools/devsim/stream_source.h"

namespace devsim {

struct SimulatorOptions {
  // Where discovery queries are heard; port 0 picks a free port.
  std::vector<devicelink::Endpoint> discovery{{0, devicelink::wire::kDiscoveryPort}};
  bool loopback = false;
  // With a value, loopback mode maps a.b.c.d to 127.<value>.c.d instead, so
  // that several simulators of one fleet can run side by side.
  std::optional<int> loopbackSecondOctet;
  // Inside a private network namespace only: gives every device's address
  // (and every new one a network change or a factory reset brings) to this
  // interface, so that each device serves on an address of its own, and
  // removes again those it added that no device uses any more.
  std::string assignInterface;
};

// True inside a namespace made by scripts/netns-run (DIVAROD_NETNS=1).
bool InPrivateNetwork();

// 127.b.c.d for a.b.c.d, or 127.<second>.c.d; a 127.x address stays as it is.
std::string LoopbackAddressFor(const std::string& ip, std::optional<int> second = std::nullopt);

// What the LAN side of a device needs to know of it.
struct DeviceSnapshot {
  std::string mac;
  NetworkSettings network;
  uint8_t capabilities = 0;
  std::string adminPassword;
  bool up = true;
};

class Simulator {
 public:
  Simulator(Fleet fleet, SimulatorOptions options);
  ~Simulator();

  // Opens every socket. False, with a message, when one cannot be had.
  bool Open(std::string& error);
  // The discovery endpoints actually bound (free ports resolved).
  const std::vector<devicelink::Endpoint>& discoveryEndpoints() const { return boundDiscovery_; }

  void Run();             // on the calling thread, until Quit()
  void StartThread();     // Run() on a thread of its own (in-process tests)
  void Quit();            // thread-safe; joins the thread when there is one

  // Thread-safe: a network change for the device with this MAC (as the LAN
  // datagrams deliver it). False when no device has that MAC. The next
  // discovery reports the new values; the device's logins end.
  bool ApplyNetworkChange(const std::string& mac, const NetworkSettings& settings);
  // Thread-safe snapshot of one device's network settings, for tests.
  std::optional<NetworkSettings> NetworkOf(const std::string& mac);
  // Runs a task on the simulator's thread and waits for it (tests, the LAN hook).
  void RunOnLoop(const std::function<void()>& task);

  std::size_t deviceCount() const { return devices_.size(); }

  // Thread-safe: every device as it stands now.
  std::vector<DeviceSnapshot> Snapshot();
  // Called on the simulator's thread whenever a device's network settings,
  // administrator password or presence change. Thread-safe.
  void SetDeviceObserver(std::function<void(const DeviceSnapshot&)> observer) {
    RunOnLoop([&] { observer_ = std::move(observer); });
  }

 private:
  struct Connection {
    int id = 0;
    devicelink::Socket socket;
    std::size_t device = 0;
    devicelink::wire::FrameReader reader;
    ConnectionState state;
    std::vector<uint8_t> out;
    std::size_t outSent = 0;
  };
  struct DeviceSlot {
    std::unique_ptr<SimDevice> device;
    devicelink::Socket listener;
    std::string boundAddress;
    uint16_t boundPort = 0;
  };

  std::string AddressOf(const SimDevice& d) const;
  bool OpenListener(std::size_t index, std::string& error);
  bool AssignAddress(const SimDevice& d, std::string& error);
  void ReleaseUnusedAddresses();
  void CloseDevice(std::size_t index);
  void GoDown(std::size_t index);
  void ComeBack(std::size_t index);
  void OnDiscovery(int fd);
  void SendAnswer(int fd, std::size_t index, uint32_t searchId, const sockaddr_storage& to, unsigned attempts);
  void OnAccept(std::size_t index);
  void OnReadable(int id);
  void Queue(int id, std::vector<uint8_t> bytes);
  void Flush(int id);
  void Drop(int id);
  void Perform(int id, Next next, uint32_t sequence);
  void WriteStep(int id, uint32_t sequence, int percent);
  void StartStream(int id, uint32_t sequence);  // stream_server.cpp
  DeviceSnapshot SnapshotOf(std::size_t index) const;
  void Notify(std::size_t index);

  Fleet fleet_;
  SimulatorOptions options_;
  EventLoop loop_;
  std::vector<DeviceSlot> devices_;
  std::map<std::string, std::size_t> byMac_;
  std::vector<devicelink::Socket> discoverySockets_;
  std::vector<devicelink::Endpoint> boundDiscovery_;
  std::map<int, std::unique_ptr<Connection>> connections_;
  int nextConnection_ = 1;
  std::thread thread_;
  std::atomic<std::thread::id> loopThread_{};  // the thread inside Run(), if any
  std::function<void(const DeviceSnapshot&)> observer_;
  std::unique_ptr<InterfaceAddresses> addresses_;  // with --assign-addresses only
  // Live streams by connection; last, so that they stop before anything they post to goes.
  std::map<int, std::unique_ptr<StreamSource>> streams_;
};

}  // namespace devsim
