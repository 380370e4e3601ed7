#include "tools/devsim/stream_source.h"

#include <chrono>
#include <cstdio>

#include "tools/devsim/h264_encoder.h"

namespace devsim {

namespace msg = devicelink::msg;

std::optional<msg::StreamFormat> StreamFormatFor(uint32_t stream) {
  if (stream == msg::kMainStream) return msg::StreamFormat{msg::kCodecH264, 1280, 720, 25};
  if (stream == msg::kSubStream) return msg::StreamFormat{msg::kCodecH264, 640, 360, 15};
  return std::nullopt;
}

StreamSource::StreamSource(StreamSettings settings, Sink sink)
    : settings_(std::move(settings)), sink_(std::move(sink)), thread_([this] { Film(); }) {}

StreamSource::~StreamSource() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void StreamSource::Film() {
  const auto& format = settings_.format;
  std::string error;
  auto encoder = H264Encoder::Create(format.width, format.height, format.framesPerSecond, error);
  if (!encoder) {
    std::fprintf(stderr, "devsim: %s\n", error.c_str());
    return;
  }
  YuvPicture picture(format.width, format.height);
  EncodedPicture coded;
  const auto period = std::chrono::microseconds(1'000'000 / format.framesPerSecond);
  const auto start = std::chrono::steady_clock::now();
  for (uint32_t number = 0;; ++number) {
    {
      std::unique_lock lock(mutex_);
      // A stalled camera keeps its connection and says nothing more.
      const bool stalled = settings_.stallAfter >= 0 && number >= static_cast<uint32_t>(settings_.stallAfter);
      if (stalled) wake_.wait(lock, [this] { return stop_; });
      else wake_.wait_until(lock, start + number * period, [this] { return stop_; });
      if (stop_) return;
    }
    const auto now = std::chrono::system_clock::now();
    const auto wallUs = static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count());
    DrawTestPicture(picture, settings_.label, number, wallUs);
    if (!encoder->Encode(picture, coded)) {
      std::fprintf(stderr, "devsim: the H.264 encoder failed; the stream ends\n");
      return;
    }
    sink_(msg::StreamFrame{number, coded.keyFrame ? msg::kKeyFrame : 0u, wallUs, std::move(coded.data)});
  }
}

}  // namespace devsim
