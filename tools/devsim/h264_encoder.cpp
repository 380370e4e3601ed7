#include "tools/devsim/h264_encoder.h"

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

namespace devsim {

struct H264Encoder::Impl {
  AVCodecContext* context = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  int64_t pts = 0;
  ~Impl() {
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&context);
  }
};

H264Encoder::H264Encoder(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
H264Encoder::~H264Encoder() = default;

std::unique_ptr<H264Encoder> H264Encoder::Create(int width, int height, int framesPerSecond, std::string& error) {
  av_log_set_level(AV_LOG_ERROR);  // the encoder's statistics are no news to the simulator's log
  const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
  if (!codec) codec = avcodec_find_encoder(AV_CODEC_ID_H264);
  if (!codec) {
    error = "libavcodec offers no H.264 encoder";
    return nullptr;
  }
  auto impl = std::make_unique<Impl>();
  AVCodecContext* c = impl->context = avcodec_alloc_context3(codec);
  impl->frame = av_frame_alloc();
  impl->packet = av_packet_alloc();
  if (!c || !impl->frame || !impl->packet) {
    error = "out of memory for the H.264 encoder";
    return nullptr;
  }
  c->width = width;
  c->height = height;
  c->time_base = AVRational{1, framesPerSecond};
  c->framerate = AVRational{framesPerSecond, 1};
  c->pix_fmt = AV_PIX_FMT_YUV420P;
  c->color_range = AVCOL_RANGE_MPEG;
  c->gop_size = framesPerSecond;
  c->max_b_frames = 0;
  c->thread_count = 2;
  // Quality-bound rather than bit-rate-bound: the text and the code in the
  // picture stay sharp whatever the motion.
  av_opt_set(c->priv_data, "preset", "ultrafast", 0);
  av_opt_set(c->priv_data, "tune", "zerolatency", 0);
  av_opt_set(c->priv_data, "crf", "20", 0);
  if (avcodec_open2(c, codec, nullptr) < 0) {
    error = std::string("the H.264 encoder ") + codec->name + " does not open";
    return nullptr;
  }
  AVFrame* f = impl->frame;
  f->format = AV_PIX_FMT_YUV420P;
  f->width = width;
  f->height = height;
  if (av_frame_get_buffer(f, 0) < 0) {
    error = "out of memory for the H.264 encoder";
    return nullptr;
  }
  return std::unique_ptr<H264Encoder>(new H264Encoder(std::move(impl)));
}

bool H264Encoder::Encode(const YuvPicture& picture, EncodedPicture& out) {
  Impl& e = *impl_;
  AVFrame* f = e.frame;
  if (picture.width != f->width || picture.height != f->height || av_frame_make_writable(f) < 0) return false;
  auto copyPlane = [](uint8_t* dst, int stride, const std::vector<uint8_t>& src, int w, int h) {
    for (int y = 0; y < h; ++y) std::memcpy(dst + static_cast<std::ptrdiff_t>(y) * stride, src.data() + static_cast<std::size_t>(y) * w, static_cast<std::size_t>(w));
  };
  copyPlane(f->data[0], f->linesize[0], picture.y, picture.width, picture.height);
  copyPlane(f->data[1], f->linesize[1], picture.u, picture.width / 2, picture.height / 2);
  copyPlane(f->data[2], f->linesize[2], picture.v, picture.width / 2, picture.height / 2);
  f->pts = e.pts++;
  if (avcodec_send_frame(e.context, f) < 0) return false;
  out.data.clear();
  out.keyFrame = false;
  // Tuned for zero latency the encoder hands back this very picture.
  while (avcodec_receive_packet(e.context, e.packet) == 0) {
    out.data.insert(out.data.end(), e.packet->data, e.packet->data + e.packet->size);
    out.keyFrame = out.keyFrame || (e.packet->flags & AV_PKT_FLAG_KEY) != 0;
    av_packet_unref(e.packet);
  }
  return !out.data.empty();
}

}  // namespace devsim
