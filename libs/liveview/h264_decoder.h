#pragma once
// Decodes a device's H.264 frames (libavcodec) and scales each picture to
// the size the view draws at (libswscale), ready to paint.
//
// What the decoder is given, and how much it may hold and do, is the
// program's to decide, not the device's:
// - every frame is read by the access unit reader first, and only what it
//   accepts reaches libavcodec, a unit at a time;
// - the pictures libavcodec holds are counted at allocation and held within
//   the level's picture store, and so are the pictures a sequence makes it
//   hold once it has taken it (its references and the reorder depth it
//   inferred);
// - a frame may make it decode each of its pictures at most twice over and
//   take at most a budget of the thread's time, both seen between
//   its units, where a stopped view's decode ends too.
// A frame refused for any of these leaves a decoder that holds nothing: it
// starts again at the next frame that brings parameter sets. libavcodec's
// messages go through DecoderLog.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>

#include <QImage>

#include "libs/liveview/picture_limits.h"

namespace liveview {

inline constexpr int kMaxDecodePassesPerPicture = 2;
// Behind the counts above, for work nobody listed: four times what a frame
// of the level's largest size takes here. The sanitizer builds run our part
// of it several times slower, and their allocator makes every picture cost more.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr std::chrono::milliseconds kFrameWorkBudget{8000};
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr std::chrono::milliseconds kFrameWorkBudget{8000};
#else
inline constexpr std::chrono::milliseconds kFrameWorkBudget{1000};
#endif
#else
inline constexpr std::chrono::milliseconds kFrameWorkBudget{1000};
#endif

struct DecodedPicture {
  enum Outcome {
    kNothing,   // a frame that shows nothing yet, or a decode a stop ended
    kPicture,   // `picture` holds it, scaled
    kRefused,   // broke the stream's limits: decoded not at all, or not to its end
  };
  Outcome outcome = kNothing;
  QImage picture;
  int64_t workUs = 0;  // the thread's processor time the frame took
};

class H264Decoder {
 public:
  ~H264Decoder();
  // Nullptr when libavcodec offers no H.264 decoder. `workBudget`: the most
  // of the thread's time one frame may take.
  static std::unique_ptr<H264Decoder> Create(const PictureLimits& limits,
                                             std::chrono::microseconds workBudget = kFrameWorkBudget);
  // One stream frame in; the picture it completes, scaled to width x height.
  // `stop`, where given, is looked at between the frame's units: once it
  // holds, the decode ends there and gives nothing.
  DecodedPicture Decode(std::span<const uint8_t> frame, int width, int height,
                        const std::atomic<bool>* stop = nullptr);
  // The most the pictures held took at once since the decoder was made (measurements, tests).
  int64_t peakHeldBytes() const;

 private:
  struct Impl;
  explicit H264Decoder(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace liveview
