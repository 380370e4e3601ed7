// The library's side: everything a device (or anyone on the LAN) can send it.
// The input is cut into a stream of frames, and is also tried as one
// discovery datagram; every frame goes through every reply decoder.
// Properties: an accepted datagram re-encodes to exactly its bytes; the
// frames read from the stream, re-encoded one after another, give back the
// stream's bytes up to where reading stopped; every payload a decoder
// accepts encodes back to itself (round_trip.h).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/device/sdk_device_info.h"
#include "libs/devicelink/messages.h"
#include "libs/devicelink/wire_format.h"
#include "tests/fuzz/devicelink/round_trip.h"

namespace msg = devicelink::msg;
namespace wire = devicelink::wire;

using fuzzcheck::Check;
using fuzzcheck::Layout;
using fuzzcheck::RoundTrip;

static void DecodeAll(const wire::Frame& f) {
  RoundTrip(f.payload, msg::DecodeChallengeReply, Layout::kFixed);
  RoundTrip(f.payload, msg::DecodeLoginReply, Layout::kFixed);
  RoundTrip(f.payload, msg::DecodeUpgradeProgress, Layout::kFixed);
  RoundTrip(f.payload, msg::DecodeDiscoverQuery, Layout::kFixed);
  RoundTrip(f.payload, msg::DecodeDiscoverReply, Layout::kFixed);
  if (auto r = msg::DecodeDiscoverReply(f.payload)) (void)sdkinfo::ReadRecord(r->record);
}

static std::vector<uint8_t> Reencode(const wire::Frame& f) {
  return wire::Encode(f.header.type, f.header.sequence, f.header.status, f.payload);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> input(data, size);
  if (auto d = wire::ParseDatagram(input)) {
    Check(Reencode(*d) == std::vector<uint8_t>(data, data + size));
    DecodeAll(*d);
  }
  wire::FrameReader reader;
  std::vector<uint8_t> streamed;  // the frames read so far, encoded again
  // Fed in uneven pieces, as TCP delivers it.
  std::size_t at = 0, step = 1;
  while (at < size) {
    const std::size_t n = std::min(step, size - at);
    reader.Feed(input.subspan(at, n));
    at += n;
    step = step * 3 % 61 + 1;
    while (auto f = reader.Next()) {
      const auto bytes = Reencode(*f);
      streamed.insert(streamed.end(), bytes.begin(), bytes.end());
      Check(streamed.size() <= size && std::equal(streamed.begin(), streamed.end(), data));
      DecodeAll(*f);
    }
  }
  return 0;
}
