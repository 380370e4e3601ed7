#pragma once
// The device side of the device-link protocol: one request in, the reply and
// what the device does next out. No sockets here, so that tests and the fuzz
// target drive it directly.

#include <optional>
#include <vector>

#include "libs/devicelink/messages.h"
#include "tools/devsim/sim_device.h"

namespace devsim {

// A firmware image on its way in: hashed as it arrives, not kept.
struct Upload {
  uint64_t size = 0;
  devicelink::Digest sha256{};
  uint64_t received = 0;
  devicelink::Sha256 hasher;
};

// Per connection: what the peer has proven so far.
struct ConnectionState {
  bool authenticated = false;
  devicelink::msg::Token token{};
  std::optional<std::pair<std::string, devicelink::msg::Nonce>> challenge;
  std::optional<Upload> upload;
  bool writing = false;  // the device is writing a committed image
  uint32_t stream = 0;   // the live stream this connection receives, 0 for none
};

enum class Next {
  kNothing,
  kGoDown,        // reboot (after a reboot or a factory reset): leave, come back later
  kStartWriting,  // write the committed image, reporting under the reply's sequence
  kEndSession,    // logout: this login's connections end
  kStartStream,   // send the connection's live stream, framed under the reply's sequence
};

struct Outcome {
  std::vector<uint8_t> reply;  // one whole frame
  Next next = Next::kNothing;
};

// Firmware images the simulator accepts at most (it hashes, it does not keep them).
inline constexpr uint64_t kMaxImage = 1024ull * 1024 * 1024;

Outcome HandleRequest(SimDevice& device, ConnectionState& connection, const devicelink::wire::Frame& request,
                      SimTime now);

}  // namespace devsim
