#pragma once
// What WM_BATCH_PORTS carries: the three ports the port sub-page asks every
// checked device to take. Owned by the sender, valid while the message is sent.

#include <cstdint>

struct BatchPortsPayload {
  int32_t httpPort = 0;
  int32_t tcpPort = 0;
  uint16_t rtspPort = 0;
};
