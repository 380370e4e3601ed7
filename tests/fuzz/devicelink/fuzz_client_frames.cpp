// The library's side: everything a device (or anyone on the LAN) can send it.
// The input is cut into a stream of frames, and is also tried as one
// discovery datagram; every frame goes through every reply decoder.
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/device/sdk_device_info.h"
#include "libs/devicelink/messages.h"
#include "libs/devicelink/wire_format.h"

namespace msg = devicelink::msg;
namespace wire = devicelink::wire;

static void DecodeAll(const wire::Frame& f) {
  (void)msg::DecodeChallengeReply(f.payload);
  (void)msg::DecodeLoginReply(f.payload);
  (void)msg::DecodeUpgradeProgress(f.payload);
  if (auto r = msg::DecodeDiscoverReply(f.payload)) (void)sdkinfo::ReadRecord(r->record);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> input(data, size);
  if (auto d = wire::ParseDatagram(input)) DecodeAll(*d);
  wire::FrameReader reader;
  // Fed in uneven pieces, as TCP delivers it.
  std::size_t at = 0, step = 1;
  while (at < size) {
    const std::size_t n = std::min(step, size - at);
    reader.Feed(input.subspan(at, n));
    at += n;
    step = step * 3 % 61 + 1;
    while (auto f = reader.Next()) DecodeAll(*f);
  }
  return 0;
}
