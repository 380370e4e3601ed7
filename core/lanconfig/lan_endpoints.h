#pragma once
// Where the configuration socket pair binds and sends. The defaults are the
// protocol's; tests inject loopback addresses and free ports.

#include <cstdint>
#include <string>

namespace lanconfig {

struct LanEndpoints {
  std::string sendBindIp = "0.0.0.0";
  uint16_t sendBindPort = 5003;
  std::string targetIp = "255.255.255.255";
  uint16_t targetPort = 5000;
  std::string receiveBindIp = "0.0.0.0";
  uint16_t receivePort = 5001;
};

}  // namespace lanconfig
