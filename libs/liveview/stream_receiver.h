#pragma once
// One opened stream: the connection that logged in and asked for it, and,
// once started, the thread that receives its frames and hands them to the
// stream's intake, which decodes and scales them for the view's canvas.

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "libs/devicelink/session.h"
#include "libs/devicelink/stream_messages.h"
#include "libs/liveview/lingering_threads.h"
#include "libs/liveview/picture_feed.h"
#include "libs/liveview/stream_address.h"
#include "libs/liveview/video_canvas.h"

namespace liveview {

inline constexpr int kStreamOpenTimeoutMs = 3000;
// How long ending a stream waits for its thread before leaving it to end by
// itself (a picture under decode cannot be cut short).
inline constexpr std::chrono::milliseconds kStopWait{50};

class StreamReceiver {
 public:
  // Connects, logs in and asks for the stream; a liveview::Result in
  // `result`. A thread the receiver does not wait for goes to `lingering`.
  static std::unique_ptr<StreamReceiver> Open(const StreamAddress& address, int& result, LingeringThreads& lingering);
  // Ends the connection; from then on nothing reaches the slot. Waits at
  // most kStopWait for the thread.
  ~StreamReceiver();

  // Starts the thread. `pictureReady` is called on it when the canvas has a
  // new picture to paint (the caller hands that over to its own thread).
  void Start(std::shared_ptr<FrameSlot> slot, std::function<void()> pictureReady);
  void SetSize(int width, int height);
  const devicelink::msg::StreamFormat& format() const { return shared_->format; }

 private:
  // What the thread uses: it may outlive the receiver.
  struct Shared {
    std::shared_ptr<devicelink::Session> session;
    devicelink::msg::StreamFormat format;
    std::atomic<int> width{0};
    std::atomic<int> height{0};
    std::atomic<bool> stop{false};
  };
  StreamReceiver(std::shared_ptr<devicelink::Session> session, devicelink::msg::StreamFormat format,
                 LingeringThreads& lingering);
  static void Run(Shared& shared, std::shared_ptr<PictureFeed> feed);

  std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
  LingeringThreads& lingering_;
  std::shared_ptr<PictureFeed> feed_;
  std::thread thread_;
  std::shared_future<void> ended_;
};

}  // namespace liveview
