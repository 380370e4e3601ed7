// What reaches the live-view library from outside: the stream address (text
// a user typed as a password is part of it) and everything a device sends on
// a stream connection. The input is tried as an address and cut into frames.
// The first frame is the StreamOpen answer when it reads as one (otherwise
// the main stream's usual format stands in, and it is a frame of the stream
// too); every frame then goes through the stream's intake as the receiving
// thread hands it over: the frame parser, the access unit reader and the
// limits, the H.264 decoder and the scaler, and the slot's counts. After each
// frame the waiting picture is painted, which keeps its delay; the
// capture-to-paint figure is also taken against paint times at the ends of
// its range. A frame of a few NAL units is also played with each of its
// parameter sets moved to every other position, before and after its slices.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "libs/devicelink/stream_messages.h"
#include "libs/devicelink/wire_format.h"
#include "libs/liveview/h264_nal_units.h"
#include "libs/liveview/stream_address.h"
#include "libs/liveview/stream_intake.h"
#include "libs/liveview/video_canvas.h"

namespace msg = devicelink::msg;
namespace wire = devicelink::wire;
namespace h264 = liveview::h264;

namespace {

constexpr std::size_t kMaxUnitsMoved = 8;

// The frame with its units in `order`, each behind a four-byte start code.
wire::Frame Reordered(const wire::Frame& frame, const msg::StreamFrame& stream,
                      const std::vector<h264::NalUnit>& units, const std::vector<std::size_t>& order) {
  msg::StreamFrame moved = stream;
  moved.data.clear();
  for (const std::size_t i : order) {
    moved.data.insert(moved.data.end(), {0, 0, 0, 1});
    moved.data.insert(moved.data.end(), units[i].bytes.begin(), units[i].bytes.end());
  }
  return {frame.header, msg::Encode(moved)};
}

// Every parameter set of the frame in every other position.
template <typename Take>
void PlayParameterSetsEverywhere(const wire::Frame& frame, Take take) {
  const auto stream = msg::DecodeStreamFrame(frame.payload);
  if (!stream) return;
  const auto units = h264::SplitAnnexB(stream->data, kMaxUnitsMoved);
  if (!units) return;
  for (std::size_t from = 0; from < units->size(); ++from) {
    const uint8_t type = (*units)[from].type;
    if (type != h264::kNalSequenceParameters && type != h264::kNalPictureParameters) continue;
    for (std::size_t to = 0; to < units->size(); ++to) {
      if (to == from) continue;
      std::vector<std::size_t> order;
      for (std::size_t i = 0; i < units->size(); ++i)
        if (i != from) order.push_back(i);
      order.insert(order.begin() + static_cast<std::ptrdiff_t>(to), from);
      take(Reordered(frame, *stream, *units, order));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  (void)liveview::ParseStreamAddress(std::string(reinterpret_cast<const char*>(data), size));

  wire::FrameReader reader;
  reader.Feed(std::span<const uint8_t>(data, size));
  auto first = reader.Next();
  if (!first) return 0;
  const auto announced = msg::DecodeStreamFormat(first->payload);
  msg::StreamFormat format = announced.value_or(msg::StreamFormat{msg::kCodecH264, 1280, 720, 25});
  // At most 1920 x 1088 announced, so that no input costs more than one such
  // picture: the replay runs in every build, the sanitizers' included, and
  // pictures of the level's largest size would make it minutes long. The
  // limits beyond that size have tests of their own.
  format.width = std::min<uint16_t>(format.width, 1920);
  format.height = std::min<uint16_t>(format.height, 1088);

  auto slot = std::make_shared<liveview::FrameSlot>();
  auto feed = std::make_shared<liveview::PictureFeed>(slot, nullptr);
  auto intake = liveview::StreamIntake::Create(format, feed);
  if (!intake) return 0;
  auto take = [&](const wire::Frame& f) {
    intake->Take(f, 64, 36);
    QImage shown;
    (void)slot->TakeForPaint(shown);
    if (const auto frame = msg::DecodeStreamFrame(f.payload)) {
      for (const int64_t paint : {int64_t{0}, int64_t{-1}, std::numeric_limits<int64_t>::min(),
                                  std::numeric_limits<int64_t>::max()})
        (void)liveview::CaptureToPaintUs(frame->captureTimeUs, paint);
    }
  };
  auto play = [&](const wire::Frame& f) {
    take(f);
    PlayParameterSetsEverywhere(f, take);
  };
  if (!announced) play(*first);
  while (auto f = reader.Next()) play(*f);
  (void)slot->Statistics();
  return 0;
}
