#pragma once
// What one libavcodec decoder does, watched through its callbacks.
//
// The pictures it holds, with a ceiling at allocation: libavcodec asks
// get_buffer2 for every picture it decodes into (references, pictures held
// back to be shown in order, pictures made up for gaps), at the picture's
// coded size and real format. Each is counted by its bytes until the decoder
// lets go of it, and one is refused while those held already fill the
// level's picture store: whatever the reason the decoder would hold more, a
// stream's pictures never take more than that store and the one picture
// under decode.
//
// The lines it decodes: draw_horiz_band reports every band of macroblock
// rows as it is done, so a frame whose slices make the decoder go over its
// picture again and again shows it while the frame is still being fed.

#include <cstdint>

struct AVCodecContext;
struct AVFrame;

namespace liveview {

class DecoderWatch {
 public:
  // Watches `context` from now on; before avcodec_open2. The watch must
  // outlive every picture the context allocated.
  void Attach(AVCodecContext* context);

  int64_t peakHeldBytes() const { return peakHeldBytes_; }
  // Whether a picture was refused since the last call.
  bool TakeRefusal();

  // The lines decoded since the last call, and how many bands reached a picture's bottom.
  void StartCounting();
  int64_t linesDecoded() const { return lines_; }
  int picturesCompleted() const { return completed_; }

 private:
  static int GetBuffer(AVCodecContext* context, AVFrame* frame, int flags);
  static void Release(void* opaque, uint8_t* data);
  static void Band(AVCodecContext* context, const AVFrame* picture, int offset[], int y, int type, int height);

  int64_t heldBytes_ = 0;
  int64_t peakHeldBytes_ = 0;
  bool refused_ = false;
  int64_t lines_ = 0;
  int completed_ = 0;
};

}  // namespace liveview
