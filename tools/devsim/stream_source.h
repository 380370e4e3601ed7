#pragma once
// A simulated camera's live stream: a thread of its own films the test
// picture at the stream's frame rate, encodes it and hands each frame to a
// sink. Encoding never runs on the simulator's event loop.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "libs/devicelink/stream_messages.h"
#include "tools/devsim/flat_h264.h"
#include "tools/devsim/fleet_file.h"
#include "tools/devsim/test_picture.h"

namespace devsim {

// What the device offers for stream 1 (main) and 2 (sub); nullopt for any other.
std::optional<devicelink::msg::StreamFormat> StreamFormatFor(uint32_t stream, const DeviceProfile& device);

struct StreamSettings {
  TestPictureLabel label;
  devicelink::msg::StreamFormat format;
  int stallAfter = -1;  // >= 0: sends this many frames, then nothing more
  // A nonzero size: flat grey pictures of this sequence are sent instead of
  // the filmed ones, whatever the format says (a camera sending more than it
  // announced, or what no honest camera sends), a key frame every
  // `keyFrameEvery` frames (0: every second).
  FlatSequence flat;
  int keyFrameEvery = 0;
  std::optional<uint64_t> captureTimeUs;  // every frame's, instead of the wall clock
};
// The stream's settings from the device's knobs.
StreamSettings StreamSettingsFor(const DeviceProfile& device, const devicelink::msg::StreamFormat& format);

class H264Encoder;

// Pictures up to this size are filmed live, every one; a larger stream films
// kLoopPictures first and then sends them in a loop.
inline constexpr long kLiveFilmingPixels = 1280 * 720;
inline constexpr int kLoopPictures = 5;

class StreamSource {
 public:
  // Called on the source's thread for every frame, in order.
  using Sink = std::function<void(devicelink::msg::StreamFrame)>;
  StreamSource(StreamSettings settings, Sink sink);
  ~StreamSource();  // stops filming; no sink call follows
  StreamSource(const StreamSource&) = delete;
  StreamSource& operator=(const StreamSource&) = delete;

 private:
  void Film();
  // A stream too large to film in time: a few pictures filmed, then sent in a loop.
  void FilmOnceAndLoop(H264Encoder& encoder);
  void SendFlat();
  // Waits until frame `number` is due; false once the source stops.
  bool WaitForFrame(uint32_t number, std::chrono::steady_clock::time_point start,
                    std::chrono::microseconds period);
  uint64_t CaptureTime() const;

  StreamSettings settings_;
  Sink sink_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace devsim
