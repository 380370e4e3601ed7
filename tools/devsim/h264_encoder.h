#pragma once
// Encodes pictures as H.264 (libx264 through libavcodec), tuned the way a
// camera's live stream is: no B-frames, one picture in and one out, a key
// frame every second with the parameter sets in front of it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/devsim/test_picture.h"

namespace devsim {

struct EncodedPicture {
  std::vector<uint8_t> data;  // Annex B byte stream of one access unit
  bool keyFrame = false;
};

class H264Encoder {
 public:
  ~H264Encoder();
  // Nullptr with a message when libavcodec offers no H.264 encoder.
  static std::unique_ptr<H264Encoder> Create(int width, int height, int framesPerSecond, std::string& error);
  // False when the encoder fails; `out` holds the picture's coded bytes.
  bool Encode(const YuvPicture& picture, EncodedPicture& out);

 private:
  struct Impl;
  explicit H264Encoder(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace devsim
