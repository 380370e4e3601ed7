#include "libs/devicelink/stream_messages.h"

#include "libs/devicelink/wire_format.h"

namespace devicelink::msg {

using wire::Reader;
using wire::Writer;

std::vector<uint8_t> Encode(const StreamOpenRequest& m) {
  Writer w;
  w.U32(m.stream);
  return std::move(w.data());
}
std::optional<StreamOpenRequest> DecodeStreamOpenRequest(std::span<const uint8_t> p) {
  Reader r(p);
  StreamOpenRequest m{r.U32()};
  if (!r.ok_and_done()) return std::nullopt;
  return m;
}

std::vector<uint8_t> Encode(const StreamFormat& m) {
  Writer w;
  w.U16(m.codec).U16(m.width).U16(m.height).U16(m.framesPerSecond);
  return std::move(w.data());
}
std::optional<StreamFormat> DecodeStreamFormat(std::span<const uint8_t> p) {
  Reader r(p);
  StreamFormat m;
  m.codec = r.U16();
  m.width = r.U16();
  m.height = r.U16();
  m.framesPerSecond = r.U16();
  if (!r.ok_and_done() || m.codec != kCodecH264 || m.width == 0 || m.height == 0 || m.framesPerSecond == 0)
    return std::nullopt;
  return m;
}

std::vector<uint8_t> Encode(const StreamFrame& m) {
  Writer w;
  w.U32(m.number).U32(m.flags).U64(m.captureTimeUs).Bytes(m.data);
  return std::move(w.data());
}
std::optional<StreamFrame> DecodeStreamFrame(std::span<const uint8_t> p) {
  Reader r(p);
  StreamFrame m;
  m.number = r.U32();
  m.flags = r.U32();
  m.captureTimeUs = r.U64();
  const auto data = r.Rest();
  if (r.failed() || data.empty()) return std::nullopt;
  m.data.assign(data.begin(), data.end());
  return m;
}

}  // namespace devicelink::msg
