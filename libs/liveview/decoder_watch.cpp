#include "libs/liveview/decoder_watch.h"

#include <algorithm>
#include <new>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
}

#include "libs/liveview/picture_limits.h"

namespace liveview {
namespace {

// Rides along with a picture's planes: released with the last reference to them.
struct Held {
  DecoderWatch* watch;
  int64_t bytes;
};

}  // namespace

void DecoderWatch::Attach(AVCodecContext* context) {
  context->opaque = this;
  context->get_buffer2 = &DecoderWatch::GetBuffer;
  context->draw_horiz_band = &DecoderWatch::Band;
  // Every band, of field pictures too, in decoding order.
  context->slice_flags = SLICE_FLAG_CODED_ORDER | SLICE_FLAG_ALLOW_FIELD;
}

bool DecoderWatch::TakeRefusal() {
  const bool refused = refused_;
  refused_ = false;
  return refused;
}

void DecoderWatch::StartCounting() {
  lines_ = 0;
  completed_ = 0;
}

int DecoderWatch::GetBuffer(AVCodecContext* context, AVFrame* frame, int flags) {
  auto* self = static_cast<DecoderWatch*>(context->opaque);
  const int size = av_image_get_buffer_size(static_cast<AVPixelFormat>(frame->format), frame->width, frame->height, 1);
  if (size < 0) return size;
  if (self->heldBytes_ > kPictureStoreBytes) {
    self->refused_ = true;
    return AVERROR(ENOMEM);
  }
  // libavcodec's own allocation, aligned as its decoders need; the count
  // rides on a reference of its own among the frame's buffers.
  const int result = avcodec_default_get_buffer2(context, frame, flags);
  if (result < 0) return result;
  int slot = 0;
  while (slot < AV_NUM_DATA_POINTERS && frame->buf[slot]) ++slot;
  auto* held = new (std::nothrow) Held{self, size};
  AVBufferRef* count = held ? av_buffer_create(reinterpret_cast<uint8_t*>(held), sizeof(Held),
                                               &DecoderWatch::Release, nullptr, 0)
                            : nullptr;
  if (slot == AV_NUM_DATA_POINTERS || !count) {
    if (count) av_buffer_unref(&count);
    else delete held;
    av_frame_unref(frame);
    return AVERROR(ENOMEM);
  }
  frame->buf[slot] = count;
  self->heldBytes_ += size;
  self->peakHeldBytes_ = std::max(self->peakHeldBytes_, self->heldBytes_);
  return 0;
}

void DecoderWatch::Release(void*, uint8_t* data) {
  auto* held = reinterpret_cast<Held*>(data);
  held->watch->heldBytes_ -= held->bytes;
  delete held;
}

void DecoderWatch::Band(AVCodecContext* context, const AVFrame*, int[], int y, int, int height) {
  auto* self = static_cast<DecoderWatch*>(context->opaque);
  self->lines_ += std::max(height, 0);
  if (y + height >= context->height) ++self->completed_;
}

}  // namespace liveview
