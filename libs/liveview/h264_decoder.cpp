#include "libs/liveview/h264_decoder.h"

#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace liveview {
namespace {

// Whether an Annex B access unit carries sequence parameters (a NAL unit of type 7).
bool HoldsSequenceParameters(std::span<const uint8_t> unit) {
  for (std::size_t i = 0; i + 3 < unit.size(); ++i)
    if (unit[i] == 0 && unit[i + 1] == 0 && unit[i + 2] == 1 && (unit[i + 3] & 0x1F) == 7) return true;
  return false;
}

}  // namespace

struct H264Decoder::Impl {
  explicit Impl(const PictureLimits& l) : limits(l) {}
  PictureLimits limits;
  AVCodecContext* context = nullptr;
  // The parser reads the parameter sets and the first slice header of every
  // access unit, which tell the picture's size before anything is decoded.
  // It keeps a context of its own: it writes what it learns into it.
  AVCodecParserContext* parser = nullptr;
  AVCodecContext* parserContext = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  SwsContext* scaler = nullptr;
  std::vector<uint8_t> padded;
  // The sequence in force keeps too many pictures: its frames are refused
  // undecoded (a decoder without their references would make them up, each
  // a whole picture) until new sequence parameters come.
  bool sequenceRefused = false;
  ~Impl() {
    sws_freeContext(scaler);
    av_packet_free(&packet);
    av_frame_free(&frame);
    av_parser_close(parser);
    avcodec_free_context(&parserContext);
    avcodec_free_context(&context);
  }

  // What the parser learnt of the access unit's picture; true when it fits.
  bool ParsedPictureFits(int size) {
    uint8_t* unit = nullptr;
    int unitSize = 0;
    av_parser_parse2(parser, parserContext, &unit, &unitSize, padded.data(), size, AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
    if (parser->coded_width <= 0 && parser->width <= 0) return true;  // no slice seen yet
    return limits.Allows({parser->coded_width, parser->coded_height, parser->width, parser->height});
  }
  // Once the decoder has taken a sequence's size, whether it fits.
  bool DecoderSizeFits() const {
    if (context->width <= 0 && context->coded_width <= 0) return true;
    return limits.Allows({context->coded_width, context->coded_height, context->width, context->height});
  }
  // Whether the sequence keeps no more pictures for reference than the level
  // allows at its size; the decoder learns the number as it takes a slice.
  bool DecoderReferencesFit() const {
    return PictureLimits::AllowsReferences(
        context->refs, {context->coded_width, context->coded_height, context->width, context->height});
  }
};

H264Decoder::H264Decoder(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
H264Decoder::~H264Decoder() = default;

std::unique_ptr<H264Decoder> H264Decoder::Create(const PictureLimits& limits) {
  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_H264);
  if (!codec) return nullptr;
  auto impl = std::make_unique<Impl>(limits);
  impl->context = avcodec_alloc_context3(codec);
  impl->parserContext = avcodec_alloc_context3(codec);
  impl->parser = av_parser_init(AV_CODEC_ID_H264);
  impl->frame = av_frame_alloc();
  impl->packet = av_packet_alloc();
  if (!impl->context || !impl->parserContext || !impl->parser || !impl->frame || !impl->packet) return nullptr;
  // Every frame of the stream holds exactly one access unit.
  impl->parser->flags |= PARSER_FLAG_COMPLETE_FRAMES;
  // A live view shows each picture as soon as it is complete: no frame
  // threading, which would hold pictures back.
  impl->context->flags |= AV_CODEC_FLAG_LOW_DELAY;
  impl->context->thread_count = 1;
  // The decoder's own ceiling, behind the parser's test: libavcodec refuses
  // to allocate a picture above it.
  impl->context->max_pixels = limits.MaxPixels();
  if (avcodec_open2(impl->context, codec, nullptr) < 0) return nullptr;
  return std::unique_ptr<H264Decoder>(new H264Decoder(std::move(impl)));
}

DecodedPicture H264Decoder::Decode(std::span<const uint8_t> accessUnit, int width, int height) {
  Impl& d = *impl_;
  DecodedPicture out;
  // The frame's payload is at most a few MiB, so its size fits an int.
  const int size = static_cast<int>(accessUnit.size());
  // libavcodec reads a little past the end of its input: give it padding.
  d.padded.assign(accessUnit.begin(), accessUnit.end());
  d.padded.resize(accessUnit.size() + AV_INPUT_BUFFER_PADDING_SIZE, 0);
  if (d.sequenceRefused && HoldsSequenceParameters(accessUnit)) d.sequenceRefused = false;
  if (d.sequenceRefused || !d.ParsedPictureFits(size)) {
    out.outcome = DecodedPicture::kRefused;
    return out;
  }
  d.packet->data = d.padded.data();
  d.packet->size = size;
  const int sent = avcodec_send_packet(d.context, d.packet);
  d.packet->data = nullptr;
  d.packet->size = 0;
  if (sent < 0) {
    // The decoder's own ceiling turned the picture away.
    if (!d.DecoderSizeFits()) out.outcome = DecodedPicture::kRefused;
    return out;
  }
  if (!d.DecoderReferencesFit()) {
    // Each picture of such a sequence would stay held; the decoder lets go
    // of all it holds, so that at most this one was ever kept.
    avcodec_flush_buffers(d.context);
    d.sequenceRefused = true;
    out.outcome = DecodedPicture::kRefused;
    return out;
  }
  while (avcodec_receive_frame(d.context, d.frame) == 0) {
    const PictureSize shown{(d.frame->width + 15) / 16 * 16, (d.frame->height + 15) / 16 * 16, d.frame->width,
                            d.frame->height};
    if (!d.limits.Allows(shown)) {
      out = {DecodedPicture::kRefused, {}};
    } else if (width > 0 && height > 0) {
      d.scaler = sws_getCachedContext(d.scaler, d.frame->width, d.frame->height,
                                      static_cast<AVPixelFormat>(d.frame->format), width, height, AV_PIX_FMT_BGRA,
                                      SWS_BILINEAR, nullptr, nullptr, nullptr);
      if (d.scaler) {
        QImage image(width, height, QImage::Format_RGB32);  // BGRA bytes in memory
        uint8_t* planes[4] = {image.bits(), nullptr, nullptr, nullptr};
        int strides[4] = {static_cast<int>(image.bytesPerLine()), 0, 0, 0};
        sws_scale(d.scaler, d.frame->data, d.frame->linesize, 0, d.frame->height, planes, strides);
        out = {DecodedPicture::kPicture, std::move(image)};
      }
    }
    av_frame_unref(d.frame);
  }
  return out;
}

}  // namespace liveview
