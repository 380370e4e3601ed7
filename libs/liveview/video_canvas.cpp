#include "libs/liveview/video_canvas.h"

#include <algorithm>

#include <chrono>
#include <limits>

#include <QPainter>

namespace liveview {
namespace {
int64_t WallClockUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}
}  // namespace

bool FrameSlot::Offer(QImage picture, uint64_t captureTimeUs) {
  std::lock_guard lock(mutex_);
  const bool wasWaiting = hasWaiting_;
  if (wasWaiting) ++stats_.framesNotPainted;
  waiting_ = std::move(picture);
  waitingCaptureUs_ = captureTimeUs;
  hasWaiting_ = true;
  return !wasWaiting;
}

std::optional<int64_t> CaptureToPaintUs(uint64_t captureTimeUs, int64_t paintTimeUs) {
  if (captureTimeUs > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return std::nullopt;
  int64_t delay = 0;
  if (__builtin_sub_overflow(paintTimeUs, static_cast<int64_t>(captureTimeUs), &delay)) return std::nullopt;
  if (delay > kLongestSensibleDelayUs || delay < -kLongestSensibleDelayUs) return std::nullopt;
  return delay;
}

void FrameSlot::CountReceived(uint32_t frameNumber) {
  std::lock_guard lock(mutex_);
  ++stats_.framesReceived;
  // The distance in the numbers' own modular arithmetic: less than half the
  // range ahead is a gap, anything else a number that went back.
  const uint32_t gap = frameNumber - lastNumber_ - 1;
  if (haveNumber_ && gap < (1u << 31)) stats_.framesLostOnWire += gap;
  haveNumber_ = true;
  lastNumber_ = frameNumber;
}

void FrameSlot::CountRefused() {
  std::lock_guard lock(mutex_);
  ++stats_.framesRefused;
}

void FrameSlot::CountWork(int64_t us) {
  std::lock_guard lock(mutex_);
  stats_.longestFrameWorkUs = std::max(stats_.longestFrameWorkUs, us);
}

bool FrameSlot::TakeForPaint(QImage& picture) {
  std::lock_guard lock(mutex_);
  if (!hasWaiting_) return false;
  picture = std::move(waiting_);
  waiting_ = QImage();
  hasWaiting_ = false;
  ++stats_.framesPainted;
  const auto delay = CaptureToPaintUs(waitingCaptureUs_, WallClockUs());
  if (!delay) ++stats_.delaysLeftOut;
  else if (stats_.delaysUs.size() < ViewStatistics::kMaxDelays) stats_.delaysUs.push_back(*delay);
  return true;
}

void FrameSlot::DropWaiting() {
  std::lock_guard lock(mutex_);
  waiting_ = QImage();
  hasWaiting_ = false;
}

void FrameSlot::Clear() {
  std::lock_guard lock(mutex_);
  waiting_ = QImage();
  hasWaiting_ = false;
  haveNumber_ = false;
  stats_ = ViewStatistics{};
}

ViewStatistics FrameSlot::Statistics() const {
  std::lock_guard lock(mutex_);
  return stats_;
}

VideoCanvas::VideoCanvas(QWidget* window, std::shared_ptr<FrameSlot> slot) : QWidget(window), slot_(std::move(slot)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_TransparentForMouseEvents);  // clicks belong to the window drawn into
}

void VideoCanvas::Blank() {
  // A picture decoded just before the view closed would otherwise appear at the next paint.
  slot_->DropWaiting();
  shown_ = QImage();
  update();
}

void VideoCanvas::paintEvent(QPaintEvent*) {
  slot_->TakeForPaint(shown_);
  QPainter painter(this);
  if (shown_.isNull()) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  // Pictures arrive at the size set; one made before a resize is stretched once.
  painter.drawImage(rect(), shown_);
}

}  // namespace liveview
