#pragma once
// What the LAN tests and the LAN benchmark share, without a test framework:
// a free loopback port, the change a test asks for and the device that takes it.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "core/device/device_record.h"
#include "tools/lanresponder/simulated_device.h"

namespace lanconfig::testing {

// A UDP port on 127.0.0.1 that was free a moment ago.
inline uint16_t FreeLoopbackUdpPort() {
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t length = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
  close(fd);
  return ntohs(a.sin_port);
}

inline constexpr const char* kMac = "00:1A:2B:3C:4D:5E";

inline DeviceRecord ChangeRequest(const std::string& mac = kMac) {
  DeviceRecord r;
  r.mac = mac;
  r.ip = "192.168.1.77";
  r.gateway = "192.168.1.254";
  r.netmask = "255.255.255.0";
  r.dns1 = "9.9.9.9";
  r.dns2 = "1.1.1.1";
  r.dhcpMode = 2;
  r.password = "admin-pass";
  r.capabilities = 0x08;
  return r;
}

inline lanresponder::SimulatedDevice Device(const std::string& mac = kMac, uint8_t capabilities = 0x08) {
  lanresponder::SimulatedDevice d;
  d.mac = mac;
  d.capabilities = capabilities;
  d.adminPassword = "admin-pass";
  return d;
}

}  // namespace lanconfig::testing
