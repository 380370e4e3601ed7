#pragma once
// Decodes a device's H.264 frames (libavcodec) and scales each picture to
// the size the view draws at (libswscale), ready to paint.

#include <cstdint>
#include <memory>
#include <span>

#include <QImage>

namespace liveview {

class H264Decoder {
 public:
  ~H264Decoder();
  static std::unique_ptr<H264Decoder> Create();
  // One access unit in; the picture it completes, scaled to width x height,
  // or a null image (a frame that shows nothing yet, or a decoding error).
  QImage Decode(std::span<const uint8_t> accessUnit, int width, int height);

 private:
  struct Impl;
  explicit H264Decoder(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace liveview
