#pragma once
// The child window a view draws into: it paints the newest decoded picture
// handed over by the view's receiving thread, on the user-interface thread,
// and keeps the figures of what it showed.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <QImage>
#include <QWidget>

namespace liveview {

// What one view received and showed since it was opened.
struct ViewStatistics {
  uint64_t framesReceived = 0;
  uint64_t framesPainted = 0;
  uint64_t framesLostOnWire = 0;    // gaps in the device's frame numbers
  uint64_t framesNotPainted = 0;    // decoded, then replaced before a paint showed them
  uint64_t framesRefused = 0;       // larger than the stream may send: never decoded
  std::vector<int64_t> delaysUs;    // device's capture to paint, per painted frame (the first kMaxDelays)
  uint64_t delaysLeftOut = 0;       // painted, but with a capture time that makes no sense
  int64_t longestFrameWorkUs = 0;   // the most processor time one frame took the receiving thread
  static constexpr std::size_t kMaxDelays = 1 << 17;  // over an hour at 25 pictures a second
};

// A painted picture's delay since its capture, when it makes sense: the
// device's clock is its own, and one far off (or a capture time beyond the
// signed range) gives nothing rather than a senseless figure.
inline constexpr int64_t kLongestSensibleDelayUs = 60'000'000;
std::optional<int64_t> CaptureToPaintUs(uint64_t captureTimeUs, int64_t paintTimeUs);

// Shared by the receiving thread (Offer) and the canvas (paint).
class FrameSlot {
 public:
  // The newest picture; true when the canvas needs to be told (nothing was waiting).
  bool Offer(QImage picture, uint64_t captureTimeUs);
  // A frame that arrived, numbered by the device; numbers wrap after 2^32 - 1,
  // and one that goes back or repeats (the device restarted its count) loses nothing.
  void CountReceived(uint32_t frameNumber);
  void CountRefused();
  // The receiving thread's processor time for one frame.
  void CountWork(int64_t us);
  // Takes the waiting picture, if any, and counts it as painted now.
  bool TakeForPaint(QImage& picture);
  // Forgets a picture still waiting for its paint (the view closed); the figures stay.
  void DropWaiting();
  void Clear();
  ViewStatistics Statistics() const;

 private:
  mutable std::mutex mutex_;
  QImage waiting_;
  uint64_t waitingCaptureUs_ = 0;
  bool hasWaiting_ = false;
  bool haveNumber_ = false;
  uint32_t lastNumber_ = 0;
  ViewStatistics stats_;
};

class VideoCanvas : public QWidget {
 public:
  VideoCanvas(QWidget* window, std::shared_ptr<FrameSlot> slot);
  // Forgets the picture shown and any still waiting: the window shows no video.
  void Blank();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::shared_ptr<FrameSlot> slot_;
  QImage shown_;
};

}  // namespace liveview
