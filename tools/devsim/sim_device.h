#pragma once
// One simulated device's state: its network settings, parameter blocks,
// users and logins, as they stand now; the profile it was built from is its
// factory state.

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "libs/devicelink/messages.h"
#include "tools/devsim/fleet_file.h"

namespace devsim {

using SimClock = std::chrono::steady_clock;
using SimTime = SimClock::time_point;

inline constexpr uint32_t kBlockPorts = 81;
inline constexpr std::size_t kBlockPortsSize = 772;
inline constexpr uint32_t kBlockRtsp = 155;
inline constexpr std::size_t kBlockRtspSize = 260;
inline constexpr uint32_t kBlockModel = 191;
inline constexpr std::size_t kBlockModelSize = 324;
inline constexpr uint32_t kQueryVersion = 50;
inline constexpr std::size_t kUserTableSize = 783856;
inline constexpr std::size_t kUserTableEntries = 114796;
inline constexpr std::size_t kUserCount = 50;

// What a LAN configuration change may set.
struct NetworkSettings {
  std::string ip;
  std::string netmask;
  std::string gateway;
  std::string dns1;
  std::string dns2;
  uint8_t dhcpMode = 2;
};

struct SimUser {
  std::vector<uint8_t> entry;  // the user-table entry, password field always zero
  std::string password;        // in clear for the LAN datagrams, which carry it so
  devicelink::Digest key{};    // what login proofs are checked with
  int failures = 0;
  SimTime lockedUntil{};
};

struct SimSession {
  std::string user;
  devicelink::Digest sessionKey{};
};

class SimDevice {
 public:
  explicit SimDevice(DeviceProfile profile);

  const DeviceProfile& profile() const { return profile_; }
  const std::string& mac() const { return profile_.mac; }

  // The 436-byte discovery record as it stands now. `reportedIp` replaces
  // the device's own address (the simulator's loopback mode).
  std::vector<uint8_t> DiscoveryRecord(const std::string& reportedIp) const;
  std::string VersionText() const { return profile_.version; }

  // Network settings: changed by the LAN datagrams, reported at once.
  const NetworkSettings& network() const { return network_; }
  void ApplyNetworkChange(const NetworkSettings& settings) { network_ = settings; }

  // Ports the device serves on now; block 81 takes effect at the next start.
  uint16_t tcpPort() const { return tcpPort_; }
  uint16_t httpPort() const { return httpPort_; }

  // Parameter blocks: stored whole, as written.
  const std::vector<uint8_t>* Block(uint32_t id) const;
  // kOk, kUnknownBlock, kBadSize or kRefused.
  int32_t WriteBlock(uint32_t id, std::span<const uint8_t> data);
  std::string Model() const;  // the model text of block 191 when its bit 0 is set, else empty

  std::vector<uint8_t> UserTable() const;
  SimUser* FindUser(const std::string& name);
  // Replaces a user's entry (password field cleared) and password.
  void SetUser(SimUser& user, std::span<const uint8_t> entry, const std::string& password);
  // The administrator's password ("admin", else the first user's), which the
  // authenticated LAN change checks.
  std::string AdminPassword() const;

  // Logins: token -> session. Cleared whenever the device goes down.
  std::map<devicelink::msg::Token, SimSession> sessions;

  // Configuration file: export and import. Import returns kOk, kRefused or kBadRequest.
  std::string ExportConfig() const;
  int32_t ImportConfig(std::span<const uint8_t> file);

  // Starting (power-on, reboot): ports of block 81 take effect, logins end.
  void Start(SimTime now, std::chrono::system_clock::time_point wallClock);
  void FactoryReset();

  bool up = true;

 private:
  DeviceProfile profile_;
  NetworkSettings network_;
  uint16_t tcpPort_ = 0;
  uint16_t httpPort_ = 0;
  std::map<uint32_t, std::vector<uint8_t>> blocks_;
  std::vector<SimUser> users_;
  std::chrono::system_clock::time_point startedAt_{};
};

// "YYYY-MM-DD hh:mm:ss" in local time.
std::string FormatClock(std::chrono::system_clock::time_point t);

}  // namespace devsim
