// Streams of ordinary encoders in the settings cameras use are shown as a
// plain libavcodec decoder shows them, picture for picture: the reader's
// rules, the unit-by-unit feeding and the limits change nothing for them.
// The streams are encoded here with libx264; the judge decodes each frame
// whole, as the live view did before it read the frames itself.
#include <gtest/gtest.h>

#include <QImage>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include "libs/liveview/h264_decoder.h"
#include "tools/devsim/flat_h264.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Settings {
  const char* what;
  int width, height;
  const char* x264;  // x264-params
  AVPixelFormat format = AV_PIX_FMT_YUV420P;
  int bFrames = 0;
  int slices = 1;
  bool interlaced = false;
  int frames = 14;
  int joinAt = 0;  // the view opens at this frame of the stream
};

// A moving pattern, encoded; one access unit a frame.
std::vector<Bytes> Encode(const Settings& s) {
  std::vector<Bytes> out;
  const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
  if (!codec) return out;
  AVCodecContext* e = avcodec_alloc_context3(codec);
  e->width = s.width;
  e->height = s.height;
  e->time_base = {1, 25};
  e->pix_fmt = s.format;
  e->gop_size = 25;
  e->max_b_frames = s.bFrames;
  e->slices = s.slices;
  if (s.interlaced) e->flags |= AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME;
  av_opt_set(e->priv_data, "preset", "veryfast", 0);
  if (s.x264) av_opt_set(e->priv_data, "x264-params", s.x264, 0);
  AVFrame* f = av_frame_alloc();
  AVPacket* p = av_packet_alloc();
  f->format = s.format;
  f->width = s.width;
  f->height = s.height;
  if (avcodec_open2(e, codec, nullptr) == 0 && av_frame_get_buffer(f, 0) == 0) {
    const bool deep = s.format == AV_PIX_FMT_YUV420P10LE;
    for (int i = 0; i <= s.frames; ++i) {
      if (i < s.frames) {
        av_frame_make_writable(f);
        for (int plane = 0; plane < 3; ++plane) {
          const int h = plane ? s.height / 2 : s.height, w = plane ? s.width / 2 : s.width;
          for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
              const int v = (x + 2 * y + 5 * i + 60 * plane + ((x / 32 + y / 32 + i) % 2) * 40) & 255;
              uint8_t* row = f->data[plane] + y * f->linesize[plane];
              if (deep) reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(v * 4);
              else row[x] = static_cast<uint8_t>(v);
            }
        }
        f->pts = i;
        avcodec_send_frame(e, f);
      } else {
        avcodec_send_frame(e, nullptr);
      }
      while (avcodec_receive_packet(e, p) == 0) {
        out.emplace_back(p->data, p->data + p->size);
        av_packet_unref(p);
      }
    }
  }
  av_packet_free(&p);
  av_frame_free(&f);
  avcodec_free_context(&e);
  return out;
}

// The judge: libavcodec fed each frame whole, as the view decoded it
// before; each picture scaled as the view scales it. A null image where a
// frame completes none.
std::vector<QImage> DecodeWhole(const std::vector<Bytes>& frames, int width, int height) {
  std::vector<QImage> out;
  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_H264);
  AVCodecContext* d = avcodec_alloc_context3(codec);
  d->flags |= AV_CODEC_FLAG_LOW_DELAY;
  d->thread_count = 1;
  avcodec_open2(d, codec, nullptr);
  AVFrame* f = av_frame_alloc();
  AVPacket* p = av_packet_alloc();
  SwsContext* scaler = nullptr;
  for (const Bytes& frame : frames) {
    Bytes padded = frame;
    padded.resize(frame.size() + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    p->data = padded.data();
    p->size = static_cast<int>(frame.size());
    avcodec_send_packet(d, p);
    QImage picture;
    while (avcodec_receive_frame(d, f) == 0) {
      scaler = sws_getCachedContext(scaler, f->width, f->height, static_cast<AVPixelFormat>(f->format), width, height,
                                    AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
      QImage image(width, height, QImage::Format_RGB32);
      uint8_t* planes[4] = {image.bits(), nullptr, nullptr, nullptr};
      int strides[4] = {static_cast<int>(image.bytesPerLine()), 0, 0, 0};
      sws_scale(scaler, f->data, f->linesize, 0, f->height, planes, strides);
      picture = image;
      av_frame_unref(f);
    }
    out.push_back(picture);
  }
  sws_freeContext(scaler);
  av_packet_free(&p);
  av_frame_free(&f);
  avcodec_free_context(&d);
  return out;
}

bool HoldsSequenceParameters(const Bytes& frame) {
  for (std::size_t i = 0; i + 3 < frame.size(); ++i)
    if (frame[i] == 0 && frame[i + 1] == 0 && frame[i + 2] == 1 && (frame[i + 3] & 0x1F) == 7) return true;
  return false;
}

TEST(HonestStreams, OrdinaryEncodersInCameraSettingsAreShownAsAPlainDecoderShowsThem) {
  const Settings cases[] = {
      {"constrained baseline, as the simulator films", 1280, 720, "profile=baseline"},
      {"main profile, four slices, B-frames", 1280, 720, "profile=main", AV_PIX_FMT_YUV420P, 2, 4},
      {"high profile, B-pyramid, four references, weighted prediction", 1920, 1080,
       "profile=high:b-pyramid=normal:ref=4:weightp=2", AV_PIX_FMT_YUV420P, 3},
      {"intra refresh, joined between its refreshes", 1280, 720, "intra-refresh=1:keyint=25:repeat-headers=1",
       AV_PIX_FMT_YUV420P, 0, 1, false, 60, 7},
      {"interlaced, two slices", 1920, 1080, "profile=high", AV_PIX_FMT_YUV420P, 2, 2, true},
      {"10-bit 1080p", 1920, 1080, "profile=high10", AV_PIX_FMT_YUV420P10LE, 2},
      {"slices of at most 1400 bytes", 1280, 720, "slice-max-size=1400"},
      {"3840 x 2160", 3840, 2160, "profile=high:ref=2", AV_PIX_FMT_YUV420P, 0, 1, false, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto frames = Encode(c);
    ASSERT_EQ(frames.size(), static_cast<std::size_t>(c.frames));
    frames.erase(frames.begin(), frames.begin() + c.joinAt);
    const auto expected = DecodeWhole(frames, 160, 90);
    auto decoder = liveview::H264Decoder::Create(liveview::PictureLimits(
        {devicelink::msg::kCodecH264, static_cast<uint16_t>(c.width), static_cast<uint16_t>(c.height), 25}));
    ASSERT_TRUE(decoder);
    int shown = 0;
    bool parameterSetsCame = false;
    for (std::size_t i = 0; i < frames.size(); ++i) {
      const auto decoded = decoder->Decode(frames[i], 160, 90);
      // Joined between them, the frames before the first parameter sets tell
      // no picture size: those are refused.
      parameterSetsCame = parameterSetsCame || HoldsSequenceParameters(frames[i]);
      if (parameterSetsCame) {
        EXPECT_NE(decoded.outcome, liveview::DecodedPicture::kRefused) << "frame " << i;
      }
      EXPECT_EQ(decoded.picture, expected[i]) << "frame " << i;
      shown += decoded.outcome == liveview::DecodedPicture::kPicture;
    }
    EXPECT_GT(shown, 0);
  }
}

// Where a frame's last NAL unit starts (its four-byte start code).
std::size_t LastUnit(const Bytes& frame) {
  std::size_t last = 0;
  for (std::size_t i = 0; i + 3 < frame.size(); ++i)
    if (frame[i] == 0 && frame[i + 1] == 0 && frame[i + 2] == 0 && frame[i + 3] == 1) last = i;
  return last;
}

TEST(HonestStreams, FieldPicturesAreShownInOneFrameOrInTwo) {
  devsim::FlatSequence s;
  s.width = 1920;
  s.height = 1080;
  s.references = 2;
  s.fields = true;
  std::vector<Bytes> together{devsim::FlatKeyFrame(s)};
  for (uint32_t i = 1; i < 8; ++i) together.push_back(devsim::FlatRepeatFrame(s, i));
  // A camera that sends each field as a frame of its own.
  std::vector<Bytes> apart;
  for (const Bytes& frame : together) {
    const auto bottom = static_cast<std::ptrdiff_t>(LastUnit(frame));
    apart.emplace_back(frame.begin(), frame.begin() + bottom);
    apart.emplace_back(frame.begin() + bottom, frame.end());
  }
  for (const auto* stream : {&together, &apart}) {
    SCOPED_TRACE(stream == &together ? "both fields in a frame" : "a field a frame");
    const auto expected = DecodeWhole(*stream, 160, 90);
    auto decoder = liveview::H264Decoder::Create(liveview::PictureLimits({devicelink::msg::kCodecH264, 1920, 1080, 25}));
    int shown = 0;
    for (std::size_t i = 0; i < stream->size(); ++i) {
      const auto decoded = decoder->Decode((*stream)[i], 160, 90);
      EXPECT_NE(decoded.outcome, liveview::DecodedPicture::kRefused) << "frame " << i;
      EXPECT_EQ(decoded.picture, expected[i]) << "frame " << i;
      shown += decoded.outcome == liveview::DecodedPicture::kPicture;
    }
    EXPECT_EQ(shown, 8);
  }
}

}  // namespace
