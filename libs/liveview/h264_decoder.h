#pragma once
// Decodes a device's H.264 frames (libavcodec) and scales each picture to
// the size the view draws at (libswscale), ready to paint. A picture larger
// than the stream's limits allow is refused before the decoder takes it.

#include <cstdint>
#include <memory>
#include <span>

#include <QImage>

#include "libs/liveview/picture_limits.h"

namespace liveview {

struct DecodedPicture {
  enum Outcome {
    kNothing,   // a frame that shows nothing yet, or a decoding error
    kPicture,   // `picture` holds it, scaled
    kRefused,   // larger than the limits: not decoded
  };
  Outcome outcome = kNothing;
  QImage picture;
};

class H264Decoder {
 public:
  ~H264Decoder();
  static std::unique_ptr<H264Decoder> Create(const PictureLimits& limits);
  // One access unit in; the picture it completes, scaled to width x height.
  DecodedPicture Decode(std::span<const uint8_t> accessUnit, int width, int height);

 private:
  struct Impl;
  explicit H264Decoder(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace liveview
