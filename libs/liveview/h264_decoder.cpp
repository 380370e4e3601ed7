#include "libs/liveview/h264_decoder.h"

#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace liveview {

struct H264Decoder::Impl {
  AVCodecContext* context = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  SwsContext* scaler = nullptr;
  std::vector<uint8_t> padded;
  ~Impl() {
    sws_freeContext(scaler);
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&context);
  }
};

H264Decoder::H264Decoder(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
H264Decoder::~H264Decoder() = default;

std::unique_ptr<H264Decoder> H264Decoder::Create() {
  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_H264);
  if (!codec) return nullptr;
  auto impl = std::make_unique<Impl>();
  impl->context = avcodec_alloc_context3(codec);
  impl->frame = av_frame_alloc();
  impl->packet = av_packet_alloc();
  if (!impl->context || !impl->frame || !impl->packet) return nullptr;
  // A live view shows each picture as soon as it is complete: no frame
  // threading, which would hold pictures back.
  impl->context->flags |= AV_CODEC_FLAG_LOW_DELAY;
  impl->context->thread_count = 1;
  if (avcodec_open2(impl->context, codec, nullptr) < 0) return nullptr;
  return std::unique_ptr<H264Decoder>(new H264Decoder(std::move(impl)));
}

QImage H264Decoder::Decode(std::span<const uint8_t> accessUnit, int width, int height) {
  Impl& d = *impl_;
  // libavcodec reads a little past the end of its input: give it padding.
  d.padded.assign(accessUnit.begin(), accessUnit.end());
  d.padded.resize(accessUnit.size() + AV_INPUT_BUFFER_PADDING_SIZE, 0);
  d.packet->data = d.padded.data();
  d.packet->size = static_cast<int>(accessUnit.size());
  const int sent = avcodec_send_packet(d.context, d.packet);
  d.packet->data = nullptr;
  d.packet->size = 0;
  if (sent < 0) return {};
  QImage out;
  while (avcodec_receive_frame(d.context, d.frame) == 0) {
    if (width > 0 && height > 0) {
      d.scaler = sws_getCachedContext(d.scaler, d.frame->width, d.frame->height,
                                      static_cast<AVPixelFormat>(d.frame->format), width, height, AV_PIX_FMT_BGRA,
                                      SWS_BILINEAR, nullptr, nullptr, nullptr);
      if (d.scaler) {
        QImage image(width, height, QImage::Format_RGB32);  // BGRA bytes in memory
        uint8_t* planes[4] = {image.bits(), nullptr, nullptr, nullptr};
        int strides[4] = {static_cast<int>(image.bytesPerLine()), 0, 0, 0};
        sws_scale(d.scaler, d.frame->data, d.frame->linesize, 0, d.frame->height, planes, strides);
        out = std::move(image);
      }
    }
    av_frame_unref(d.frame);
  }
  return out;
}

}  // namespace liveview
