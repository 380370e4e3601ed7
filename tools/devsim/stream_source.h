#pragma once
// A simulated camera's live stream: a thread of its own films the test
// picture at the stream's frame rate, encodes it and hands each frame to a
// sink. Encoding never runs on the simulator's event loop.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "libs/devicelink/stream_messages.h"
#include "tools/devsim/test_picture.h"

namespace devsim {

// What a device offers for stream 1 (main) and 2 (sub); nullopt for any other.
std::optional<devicelink::msg::StreamFormat> StreamFormatFor(uint32_t stream);

struct StreamSettings {
  TestPictureLabel label;
  devicelink::msg::StreamFormat format;
  int stallAfter = -1;  // >= 0: sends this many frames, then nothing more
};

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

  StreamSettings settings_;
  Sink sink_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace devsim
