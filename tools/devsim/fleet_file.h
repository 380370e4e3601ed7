#pragma once
// The fleet file: which devices the simulator plays and how each misbehaves.
// An INI file: [fleet] holds simulator settings, [defaults] keys every
// device inherits, and every other section is one device. Keys are listed
// in docs/device-link.md.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tools/devsim/flat_h264.h"

namespace devsim {

struct UserProfile {
  std::string name;
  std::string password;
};

// A device as it leaves the factory, plus its fault knobs.
struct DeviceProfile {
  std::string section;
  std::string mac;
  std::string ip;
  std::string netmask = "255.255.255.0";
  std::string gateway;
  std::string dns1;
  std::string dns2;
  uint8_t dhcpMode = 2;
  uint16_t tcpPort = 34567;
  uint16_t httpPort = 80;
  uint16_t rtspPort = 554;
  std::string type = "IPC";
  std::string model;
  std::string cloudId;
  std::string version = "V1.0.0 Build:2026-01-01";
  std::string releaseTime;
  std::string customerCode = "C0000";
  uint8_t capabilities = 0;
  uint32_t kind = 0;
  std::vector<UserProfile> users{{"admin", "admin"}};

  // Fault knobs.
  int refuseLogin = 0;       // nonzero: every login is refused with this code
  int lockAfter = 0;         // lock a user after this many failed logins (0: never)
  int lockMs = 60000;        // how long a lock lasts
  int answerDelayMs = 0;     // every session reply waits this long
  bool silent = false;       // accepts connections but never answers them
  int upgradeWriteMs = 3000; // time the device takes to write a firmware image
  int upgradeStallAt = -1;   // stops reporting after this percentage
  int upgradeFailAt = -1;    // reports failure at this percentage
  bool refuseImport = false;
  bool refuseExport = false;  // refuses every configuration export
  bool refuseAllWrites = false;
  std::set<uint32_t> refuseWrite;  // blocks whose writes are refused
  int rebootMs = 3000;       // time away after a reboot or a factory reset
  bool stayDown = false;     // never comes back after a reboot
  bool refuseStream = false; // refuses every live stream
  int streamStallAfter = -1; // a live stream stops after this many frames (-1: never)
  int mainStreamWidth = 1280; // the main stream, as announced and filmed
  int mainStreamHeight = 720;
  int mainStreamAnnouncedWidth = 0;  // nonzero: what StreamOpen announces instead
  int mainStreamAnnouncedHeight = 0;
  int streamPictureWidth = 0; // nonzero: a live stream's pictures have this size,
  int streamPictureHeight = 0;  // flat grey, whatever its StreamOpen announced
  // The flat pictures' sequence and slicing (its size is the one above).
  FlatSequence streamFlat;
  int streamKeyFrameEvery = 0;  // flat pictures: a key frame every this many frames (0: every second)
  std::optional<uint64_t> streamCaptureUs;  // every picture's capture time, instead of the clock
};

struct FleetSettings {
  int answerSpreadMs = 400;  // devices answer a discovery spread over this window
};

struct Fleet {
  FleetSettings settings;
  std::vector<DeviceProfile> devices;
};

// Reads and checks a fleet; on failure returns false with a message naming
// the file, line or section.
bool LoadFleet(const std::string& path, Fleet& out, std::string& error);
bool ParseFleet(const std::string& text, Fleet& out, std::string& error);

}  // namespace devsim
