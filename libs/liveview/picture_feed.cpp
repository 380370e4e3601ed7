#include "libs/liveview/picture_feed.h"

namespace liveview {

PictureFeed::PictureFeed(std::shared_ptr<FrameSlot> slot, std::function<void()> pictureReady)
    : slot_(std::move(slot)), pictureReady_(std::move(pictureReady)) {}

void PictureFeed::Received(uint32_t frameNumber) {
  std::lock_guard lock(mutex_);
  if (open_) slot_->CountReceived(frameNumber);
}

void PictureFeed::Refused() {
  std::lock_guard lock(mutex_);
  if (open_) slot_->CountRefused();
}

void PictureFeed::Worked(int64_t us) {
  std::lock_guard lock(mutex_);
  if (open_) slot_->CountWork(us);
}

void PictureFeed::Offer(QImage picture, uint64_t captureTimeUs) {
  std::lock_guard lock(mutex_);
  // The notice is given under the lock too, so that Shut also waits for one under way.
  if (open_ && slot_->Offer(std::move(picture), captureTimeUs) && pictureReady_) pictureReady_();
}

void PictureFeed::Shut() {
  std::lock_guard lock(mutex_);
  open_ = false;
  pictureReady_ = nullptr;
}

}  // namespace liveview
