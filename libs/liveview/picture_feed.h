#pragma once
// What one opened stream hands its view, from the receiving thread: the
// counts of its frames and its pictures, and the notice that a picture waits.
// Once the view shuts the feed nothing more gets through, not even from a
// thread that is still finishing a picture it decoded before: the view does
// not wait for that thread, and the next stream opened on the same view must
// not see its figures or pictures.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include <QImage>

#include "libs/liveview/video_canvas.h"

namespace liveview {

class PictureFeed {
 public:
  // `pictureReady` is called on the receiving thread when the slot has a new
  // picture for the canvas (the caller hands that over to its own thread).
  PictureFeed(std::shared_ptr<FrameSlot> slot, std::function<void()> pictureReady);

  void Received(uint32_t frameNumber);
  void Refused();
  void Worked(int64_t us);
  void Offer(QImage picture, uint64_t captureTimeUs);
  // Any thread; once it returns, no call above reaches the slot or the notice.
  void Shut();

 private:
  std::mutex mutex_;
  bool open_ = true;
  std::shared_ptr<FrameSlot> slot_;
  std::function<void()> pictureReady_;
};

}  // namespace liveview
