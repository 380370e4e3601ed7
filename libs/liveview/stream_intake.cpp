#include "libs/liveview/stream_intake.h"

namespace liveview {

namespace msg = devicelink::msg;
namespace wire = devicelink::wire;

std::unique_ptr<StreamIntake> StreamIntake::Create(const msg::StreamFormat& format, std::shared_ptr<PictureFeed> feed) {
  auto decoder = H264Decoder::Create(PictureLimits(format));
  if (!decoder) return nullptr;
  return std::unique_ptr<StreamIntake>(new StreamIntake(std::move(decoder), std::move(feed)));
}

StreamIntake::StreamIntake(std::unique_ptr<H264Decoder> decoder, std::shared_ptr<PictureFeed> feed)
    : decoder_(std::move(decoder)), feed_(std::move(feed)) {}

void StreamIntake::Take(const wire::Frame& frame, int width, int height, const std::atomic<bool>* stop) {
  if (frame.header.type != wire::Type::kStreamFrame) return;
  const auto coded = msg::DecodeStreamFrame(frame.payload);
  if (!coded) return;
  feed_->Received(coded->number);
  auto decoded = decoder_->Decode(coded->data, width, height, stop);
  feed_->Worked(decoded.workUs);
  switch (decoded.outcome) {
    case DecodedPicture::kPicture: feed_->Offer(std::move(decoded.picture), coded->captureTimeUs); break;
    case DecodedPicture::kRefused: feed_->Refused(); break;
    case DecodedPicture::kNothing: break;
  }
}

}  // namespace liveview
