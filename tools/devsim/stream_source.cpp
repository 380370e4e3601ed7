#include "tools/devsim/stream_source.h"

#include <chrono>
#include <cstdio>

#include "tools/devsim/flat_h264.h"
#include "tools/devsim/h264_encoder.h"

namespace devsim {

namespace msg = devicelink::msg;

namespace {
uint64_t WallClockUs() {
  const auto now = std::chrono::system_clock::now();
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count());
}
}  // namespace

std::optional<msg::StreamFormat> StreamFormatFor(uint32_t stream, const DeviceProfile& device) {
  if (stream == msg::kMainStream) {
    const bool announced = device.mainStreamAnnouncedWidth > 0;
    return msg::StreamFormat{
        msg::kCodecH264,
        static_cast<uint16_t>(announced ? device.mainStreamAnnouncedWidth : device.mainStreamWidth),
        static_cast<uint16_t>(announced ? device.mainStreamAnnouncedHeight : device.mainStreamHeight), 25};
  }
  if (stream == msg::kSubStream) return msg::StreamFormat{msg::kCodecH264, 640, 360, 15};
  return std::nullopt;
}

StreamSettings StreamSettingsFor(const DeviceProfile& device, const msg::StreamFormat& format) {
  StreamSettings settings;
  settings.format = format;
  settings.stallAfter = device.streamStallAfter;
  settings.flat = device.streamFlat;
  settings.flat.width = device.streamPictureWidth;
  settings.flat.height = device.streamPictureHeight;
  settings.keyFrameEvery = device.streamKeyFrameEvery;
  settings.captureTimeUs = device.streamCaptureUs;
  return settings;
}

StreamSource::StreamSource(StreamSettings settings, Sink sink)
    : settings_(std::move(settings)), sink_(std::move(sink)), thread_([this] {
        if (settings_.flat.width > 0) SendFlat();
        else Film();
      }) {}

StreamSource::~StreamSource() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

bool StreamSource::WaitForFrame(uint32_t number, std::chrono::steady_clock::time_point start,
                                std::chrono::microseconds period) {
  std::unique_lock lock(mutex_);
  // A stalled camera keeps its connection and says nothing more.
  const bool stalled = settings_.stallAfter >= 0 && number >= static_cast<uint32_t>(settings_.stallAfter);
  if (stalled) wake_.wait(lock, [this] { return stop_; });
  else wake_.wait_until(lock, start + number * period, [this] { return stop_; });
  return !stop_;
}

uint64_t StreamSource::CaptureTime() const { return settings_.captureTimeUs.value_or(WallClockUs()); }

void StreamSource::Film() {
  const auto& format = settings_.format;
  std::string error;
  auto encoder = H264Encoder::Create(format.width, format.height, format.framesPerSecond, error);
  if (!encoder) {
    std::fprintf(stderr, "devsim: %s\n", error.c_str());
    return;
  }
  if (static_cast<long>(format.width) * format.height > kLiveFilmingPixels) {
    FilmOnceAndLoop(*encoder);
    return;
  }
  YuvPicture picture(format.width, format.height);
  EncodedPicture coded;
  const auto period = std::chrono::microseconds(1'000'000 / format.framesPerSecond);
  const auto start = std::chrono::steady_clock::now();
  for (uint32_t number = 0;; ++number) {
    if (!WaitForFrame(number, start, period)) return;
    const uint64_t wallUs = WallClockUs();
    // The clock on the picture is the real one, whatever the frame says.
    DrawTestPicture(picture, settings_.label, number, wallUs);
    const uint64_t captured = settings_.captureTimeUs.value_or(wallUs);
    if (!encoder->Encode(picture, coded)) {
      std::fprintf(stderr, "devsim: the H.264 encoder failed; the stream ends\n");
      return;
    }
    sink_(msg::StreamFrame{number, coded.keyFrame ? msg::kKeyFrame : 0u, captured, std::move(coded.data)});
  }
}

void StreamSource::FilmOnceAndLoop(H264Encoder& encoder) {
  const auto& format = settings_.format;
  // A key frame and the pictures after it; the loop's next round starts at
  // that key frame again. Short, so that the stream starts soon.
  std::vector<EncodedPicture> loop(kLoopPictures);
  YuvPicture picture(format.width, format.height);
  const uint64_t wallUs = WallClockUs();
  for (uint32_t i = 0; i < loop.size(); ++i) {
    {
      std::lock_guard lock(mutex_);
      if (stop_) return;
    }
    DrawTestPicture(picture, settings_.label, i, wallUs + i * (1'000'000 / format.framesPerSecond));
    if (!encoder.Encode(picture, loop[i])) {
      std::fprintf(stderr, "devsim: the H.264 encoder failed; the stream ends\n");
      return;
    }
  }
  const auto period = std::chrono::microseconds(1'000'000 / format.framesPerSecond);
  const auto start = std::chrono::steady_clock::now();
  for (uint32_t number = 0;; ++number) {
    if (!WaitForFrame(number, start, period)) return;
    const EncodedPicture& coded = loop[number % loop.size()];
    sink_(msg::StreamFrame{number, coded.keyFrame ? msg::kKeyFrame : 0u, CaptureTime(), coded.data});
  }
}

void StreamSource::SendFlat() {
  const FlatSequence& flat = settings_.flat;
  // A key frame every second, as filmed, unless the knob says otherwise.
  const auto keyEvery = static_cast<uint32_t>(
      settings_.keyFrameEvery > 0 ? settings_.keyFrameEvery : settings_.format.framesPerSecond);
  const std::vector<uint8_t> key = FlatKeyFrame(flat);
  const auto period = std::chrono::microseconds(1'000'000 / settings_.format.framesPerSecond);
  const auto start = std::chrono::steady_clock::now();
  for (uint32_t number = 0;; ++number) {
    if (!WaitForFrame(number, start, period)) return;
    const uint32_t sinceKey = number % keyEvery;
    if (sinceKey == 0) sink_(msg::StreamFrame{number, msg::kKeyFrame, CaptureTime(), key});
    else sink_(msg::StreamFrame{number, 0, CaptureTime(), FlatRepeatFrame(flat, sinceKey)});
  }
}

}  // namespace devsim
