#pragma once
// One opened stream: the connection that logged in and asked for it, and,
// once started, the thread that receives, decodes and scales its frames and
// hands each picture to the view's canvas.

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "libs/devicelink/session.h"
#include "libs/devicelink/stream_messages.h"
#include "libs/liveview/stream_address.h"
#include "libs/liveview/video_canvas.h"

namespace liveview {

inline constexpr int kStreamOpenTimeoutMs = 3000;

class StreamReceiver {
 public:
  // Connects, logs in and asks for the stream; a liveview::Result in `result`.
  static std::unique_ptr<StreamReceiver> Open(const StreamAddress& address, int& result);
  ~StreamReceiver();  // ends the connection and the thread

  // Starts the thread. `pictureReady` is called on it when the canvas has a
  // new picture to paint (the caller hands that over to its own thread).
  void Start(std::shared_ptr<FrameSlot> slot, std::function<void()> pictureReady);
  void SetSize(int width, int height);
  const devicelink::msg::StreamFormat& format() const { return format_; }

 private:
  StreamReceiver(std::shared_ptr<devicelink::Session> session, devicelink::msg::StreamFormat format);
  void Run(std::shared_ptr<FrameSlot> slot, std::function<void()> pictureReady);

  std::shared_ptr<devicelink::Session> session_;
  devicelink::msg::StreamFormat format_;
  std::atomic<int> width_{0};
  std::atomic<int> height_{0};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace liveview
