#pragma once
// One discovered device: what the discovery reported, the login it holds and
// the state of a firmware upgrade running on it.

#include <cstdint>
#include <list>
#include <map>
#include <string>

struct DeviceRecord {
  bool valid = false;
  std::string mac;  // "aa:bb:cc:dd:ee:ff" as the library delivers it; the map key
  std::string ip;
  std::string gateway;
  std::string netmask;
  std::string dns1;
  std::string dns2;
  uint16_t tcpPort = 0;
  uint16_t httpPort = 0;
  uint16_t onvifPort = 0;     // httpPort when kind is 0, else 0
  uint8_t dhcpMode = 0;       // 1 = DHCP on, 2 = off
  uint8_t onvifCapable = 0;   // 1 when kind is 0; gates the ONVIF column and the preview
  int32_t upgradeHandle = 0;
  int32_t upgradeItem = 0;
  int32_t upgradeProgress = 0;
  int32_t upgradeStallTicks = 0;
  std::string type;
  std::string model;
  std::string cloudId;
  std::string devTime;
  std::string version;
  std::string releaseTime;
  std::string devStartTime;
  std::string customerCode;
  int32_t kind = 0;
  std::string userName;
  std::string password;
  int32_t loginHandle = 0;
  uint8_t loggedIn = 0;
  uint8_t batchTouched = 0;
  int32_t capabilities = 0;   // bit 0: model may be renamed; bit 3: authenticated network change

  bool CanRenameModel() const { return (capabilities & 0x01) != 0; }
  bool UsesAuthenticatedNetworkChange() const { return (capabilities & 0x08) != 0; }
};

// MAC text -> record, byte-wise ascending. Records keep their address while
// they stay in the map; list rows and tree items point at them.
using DeviceMap = std::map<std::string, DeviceRecord>;

// Inserts under the record's MAC; a MAC already present keeps the record it holds.
// Returns true when the record was inserted.
inline bool InsertFirstByMac(DeviceMap& map, const DeviceRecord& record) {
  return map.emplace(record.mac, record).second;
}

// Login handles set aside after a network change, in order of retirement,
// logged out before the next search.
using RetiredLoginHandles = std::list<int32_t>;
