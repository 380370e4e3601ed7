#include "libs/liveview/h264_decoder.h"

#include <time.h>

#include <algorithm>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include "libs/liveview/access_unit_reader.h"
#include "libs/liveview/decoder_log.h"
#include "libs/liveview/decoder_watch.h"

namespace liveview {
namespace {

int64_t ThreadCpuUs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<int64_t>(t.tv_sec) * 1'000'000 + t.tv_nsec / 1000;
}

constexpr uint8_t kStartCode[] = {0, 0, 0, 1};

}  // namespace

struct H264Decoder::Impl {
  Impl(const AVCodec* c, const PictureLimits& l, std::chrono::microseconds budget)
      : codec(c), limits(l), reader(l), workBudgetUs(budget.count()) {}
  const AVCodec* codec;
  PictureLimits limits;
  AccessUnitReader reader;
  int64_t workBudgetUs;
  // Declared before the context: it must outlive the pictures the context holds.
  DecoderWatch watch;
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

  bool Open() {
    context = avcodec_alloc_context3(codec);
    if (!context) return false;
    // A live view shows each picture as soon as it is complete, decoding on
    // this thread alone; frames are fed a unit at a time.
    context->flags |= AV_CODEC_FLAG_LOW_DELAY;
    context->flags2 |= AV_CODEC_FLAG2_CHUNKS;
    context->thread_count = 1;
    context->thread_type = FF_THREAD_SLICE;
    // The decoder's own ceiling on a picture's pixels, behind the reader's limits.
    context->max_pixels = limits.MaxPixels();
    // Nothing after the decode but the picture: no concealment passes over
    // a damaged one (its frame is refused anyway), film grain not applied.
    context->error_concealment = 0;
    context->export_side_data |= AV_CODEC_EXPORT_DATA_FILM_GRAIN;
    watch.Attach(context);
    return avcodec_open2(context, codec, nullptr) >= 0;
  }

  // The decoder lets go of everything it holds and starts again; so does
  // the reader, which then refuses frames until parameter sets come.
  void Reset() {
    avcodec_free_context(&context);
    reader.Forget();
    if (!Open()) avcodec_free_context(&context);
  }

  bool Send(std::span<const uint8_t> unit) {
    padded.assign(std::begin(kStartCode), std::end(kStartCode));
    padded.insert(padded.end(), unit.begin(), unit.end());
    const std::size_t size = padded.size();
    // libavcodec reads a little past the end of its input.
    padded.resize(size + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    packet->data = padded.data();
    packet->size = static_cast<int>(size);
    const int sent = avcodec_send_packet(context, packet);
    packet->data = nullptr;
    packet->size = 0;
    return sent >= 0;
  }

  // Every picture the unit completed; the last one scaled into `out`. False
  // when one is larger than the limits allow.
  bool Receive(int width, int height, DecodedPicture& out) {
    while (avcodec_receive_frame(context, frame) == 0) {
      const PictureSize shown{(frame->width + 15) / 16 * 16, (frame->height + 15) / 16 * 16, frame->width,
                              frame->height};
      if (!limits.Allows(shown)) {
        av_frame_unref(frame);
        return false;
      }
      if (width > 0 && height > 0) {
        scaler = sws_getCachedContext(scaler, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                      width, height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (scaler) {
          QImage image(width, height, QImage::Format_RGB32);  // BGRA bytes in memory
          uint8_t* planes[4] = {image.bits(), nullptr, nullptr, nullptr};
          int strides[4] = {static_cast<int>(image.bytesPerLine()), 0, 0, 0};
          sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
          out.outcome = DecodedPicture::kPicture;
          out.picture = std::move(image);
        }
      }
      av_frame_unref(frame);
    }
    return true;
  }
};

H264Decoder::H264Decoder(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
H264Decoder::~H264Decoder() = default;

std::unique_ptr<H264Decoder> H264Decoder::Create(const PictureLimits& limits, std::chrono::microseconds workBudget) {
  DecoderLog::Install();
  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_H264);
  if (!codec) return nullptr;
  auto impl = std::make_unique<Impl>(codec, limits, workBudget);
  impl->frame = av_frame_alloc();
  impl->packet = av_packet_alloc();
  if (!impl->frame || !impl->packet || !impl->Open()) return nullptr;
  return std::unique_ptr<H264Decoder>(new H264Decoder(std::move(impl)));
}

int64_t H264Decoder::peakHeldBytes() const { return impl_->watch.peakHeldBytes(); }

DecodedPicture H264Decoder::Decode(std::span<const uint8_t> frame, int width, int height,
                                   const std::atomic<bool>* stop) {
  Impl& d = *impl_;
  const int64_t started = ThreadCpuUs();
  DecodedPicture out;
  auto done = [&] {
    out.workUs = ThreadCpuUs() - started;
    return std::move(out);
  };
  // Refused, or ended by a stop: whatever the decoder took of the frame goes.
  auto abandon = [&](DecodedPicture::Outcome outcome) {
    out.outcome = outcome;
    out.picture = QImage();
    d.Reset();
    return done();
  };
  if (!d.context) d.Reset();  // a decoder that could not be made again
  if (!d.context) return done();
  const FrameForDecoder read = d.reader.Read(frame);
  if (!read.accepted) return abandon(DecodedPicture::kRefused);
  const auto& sequence = read.sequence;
  const int64_t lineBudget =
      sequence ? int64_t{kMaxDecodePassesPerPicture} * sequence->codedHeight() * read.pictures : 0;
  d.watch.StartCounting();
  for (const auto& unit : read.units) {
    if (stop && stop->load()) return abandon(DecodedPicture::kNothing);
    // A unit the decoder turns away (it says why through the log) leaves a
    // picture it cannot finish.
    const bool sent = d.Send(unit);
    const bool allowed = d.Receive(width, height, out);
    if (!sent || !allowed || d.watch.TakeRefusal()) return abandon(DecodedPicture::kRefused);
    if (d.watch.linesDecoded() > lineBudget || ThreadCpuUs() - started > d.workBudgetUs)
      return abandon(DecodedPicture::kRefused);
  }
  if (read.pictures == 0) return done();
  // Fed one unit at a time, libavcodec ends a picture only once its last
  // rows are decoded: one left unfinished would stop it for good.
  if (d.watch.picturesCompleted() < read.pictures) return abandon(DecodedPicture::kRefused);
  // The decoder took the sequence the reader read, and holds for it what
  // the reader allows: the reorder depth is also what libavcodec inferred
  // from the pictures' order.
  if (d.context->coded_width != sequence->codedWidth() || d.context->coded_height != sequence->codedHeight())
    return abandon(DecodedPicture::kRefused);
  const int64_t held = std::max(1, sequence->maxNumRefFrames) + std::max(0, d.context->has_b_frames);
  if (!d.reader.Fits(*sequence, held)) return abandon(DecodedPicture::kRefused);
  return done();
}

}  // namespace liveview
