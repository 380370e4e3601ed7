// The simulator's side: every request a client can send a device. The first
// byte chooses whether the connection starts logged in, so that the
// operations behind the login are reached too; the rest is a frame stream.
// Every request payload a decoder accepts must encode back to itself
// (round_trip.h), and every reply the device makes must be a frame the
// library's reader takes whole.
#include <cstddef>
#include <cstdint>
#include <span>

#include "libs/devicelink/wire_format.h"
#include "tests/fuzz/devicelink/round_trip.h"
#include "tools/devsim/device_protocol.h"

namespace wire = devicelink::wire;
namespace msg = devicelink::msg;
using fuzzcheck::Layout;
using fuzzcheck::RoundTrip;

static void RequestsRoundTrip(std::span<const uint8_t> p) {
  RoundTrip(p, msg::DecodeChallengeRequest, Layout::kWithText);
  RoundTrip(p, msg::DecodeLoginRequest, Layout::kWithText);
  RoundTrip(p, msg::DecodeModifyUserRequest, Layout::kWithText);
  RoundTrip(p, msg::DecodeJoinRequest, Layout::kFixed);
  RoundTrip(p, msg::DecodeQueryTextRequest, Layout::kFixed);
  RoundTrip(p, msg::DecodeParameterRequest, Layout::kFixed);
  RoundTrip(p, msg::DecodeFactoryResetRequest, Layout::kFixed);
  RoundTrip(p, msg::DecodeUpgradeBeginRequest, Layout::kFixed);
  RoundTrip(p, msg::DecodeUpgradeDataRequest, Layout::kFixed);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static devsim::SimDevice prototype([] {
    devsim::DeviceProfile s;
    s.mac = "02:00:00:00:00:01";
    s.ip = "10.0.0.1";
    s.model = "DV-FUZZ";
    s.lockAfter = 3;
    s.refuseWrite = {155};
    return s;
  }());
  devsim::SimDevice device = prototype;
  devsim::ConnectionState connection;
  if (data[0] & 1) {
    devicelink::msg::Token token{};
    token[0] = data[0];
    device.sessions[token] = {"admin", {}};
    connection.authenticated = true;
    connection.token = token;
  }
  wire::FrameReader reader;
  reader.Feed(std::span<const uint8_t>(data + 1, size - 1));
  int handled = 0;
  while (auto f = reader.Next()) {
    RequestsRoundTrip(f->payload);
    const auto outcome = devsim::HandleRequest(device, connection, *f, devsim::SimClock::now());
    if (!outcome.reply.empty()) {
      const auto reply = wire::ParseDatagram(outcome.reply);
      fuzzcheck::Check(reply.has_value() && reply->header.sequence == f->header.sequence);
    }
    if (++handled > 64) break;
  }
  // The raw input as a configuration file, too.
  (void)device.ImportConfig(std::span<const uint8_t>(data + 1, size - 1));
  return 0;
}
