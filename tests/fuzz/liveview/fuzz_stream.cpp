// What reaches the live-view library from outside: the stream address (text
// a user typed as a password is part of it) and everything a device sends on
// a stream connection, frames and the coded pictures in them. The input is
// tried as an address and cut into frames; each frame goes through the stream
// decoders, and a frame's picture data through the H.264 decoder.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "libs/devicelink/stream_messages.h"
#include "libs/devicelink/wire_format.h"
#include "libs/liveview/h264_decoder.h"
#include "libs/liveview/stream_address.h"

namespace msg = devicelink::msg;
namespace wire = devicelink::wire;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  (void)liveview::ParseStreamAddress(std::string(reinterpret_cast<const char*>(data), size));
  static auto decoder = liveview::H264Decoder::Create();
  wire::FrameReader reader;
  reader.Feed(std::span<const uint8_t>(data, size));
  while (auto f = reader.Next()) {
    (void)msg::DecodeStreamFormat(f->payload);
    if (auto frame = msg::DecodeStreamFrame(f->payload)) {
      if (decoder) (void)decoder->Decode(frame->data, 64, 36);
    }
  }
  return 0;
}
