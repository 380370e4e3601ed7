#include "libs/liveview/stream_receiver.h"

#include <cstdio>

#include "libs/liveview/h264_decoder.h"
#include "libs/liveview/live_view.h"

namespace liveview {

namespace wire = devicelink::wire;
namespace msg = devicelink::msg;

std::unique_ptr<StreamReceiver> StreamReceiver::Open(const StreamAddress& address, int& result) {
  const auto ip = devicelink::ParseIpv4(address.host);
  if (!ip) {
    result = kBadAddress;
    return nullptr;
  }
  const devicelink::Endpoint device{*ip, address.port};
  auto login = devicelink::Session::Login(device, address.user, address.password);
  if (!login.session) {
    switch (login.error) {
      case wire::kCannotReachHost: result = kCannotReach; break;
      case wire::kLoginTimeout:
      case wire::kOtherError: result = kNoAnswer; break;
      default: result = kLoginRefused; break;
    }
    return nullptr;
  }
  const auto reply = login.session->Call(wire::Type::kStreamOpen, msg::Encode(msg::StreamOpenRequest{address.stream}),
                                         kStreamOpenTimeoutMs);
  if (reply.io != devicelink::IoResult::kOk) {
    result = kNoAnswer;
    return nullptr;
  }
  if (reply.status != wire::kOk) {
    result = kStreamRefused;
    return nullptr;
  }
  const auto format = msg::DecodeStreamFormat(reply.payload);
  if (!format) {
    result = kNoAnswer;
    return nullptr;
  }
  result = kOk;
  return std::unique_ptr<StreamReceiver>(new StreamReceiver(std::move(login.session), *format));
}

StreamReceiver::StreamReceiver(std::shared_ptr<devicelink::Session> session, msg::StreamFormat format)
    : session_(std::move(session)), format_(format) {}

StreamReceiver::~StreamReceiver() {
  stop_ = true;
  session_->Close();  // wakes the thread out of its receive
  if (thread_.joinable()) thread_.join();
}

void StreamReceiver::SetSize(int width, int height) {
  width_ = width;
  height_ = height;
}

void StreamReceiver::Start(std::shared_ptr<FrameSlot> slot, std::function<void()> pictureReady) {
  if (thread_.joinable()) return;
  thread_ = std::thread([this, slot = std::move(slot), ready = std::move(pictureReady)] { Run(slot, ready); });
}

void StreamReceiver::Run(std::shared_ptr<FrameSlot> slot, std::function<void()> pictureReady) {
  auto decoder = H264Decoder::Create();
  if (!decoder) {
    std::fprintf(stderr, "liveview: libavcodec offers no H.264 decoder\n");
    return;
  }
  while (!stop_) {
    wire::Frame frame;
    // A stalled device sends nothing: the last picture stays, and stopping
    // the view closes the connection, which ends this wait at once.
    const auto io = session_->Receive(frame, devicelink::DeadlineIn(1000));
    if (io == devicelink::IoResult::kTimeout) continue;
    if (io != devicelink::IoResult::kOk) return;
    if (frame.header.type != wire::Type::kStreamFrame) continue;
    const auto coded = msg::DecodeStreamFrame(frame.payload);
    if (!coded) continue;
    slot->CountReceived(coded->number);
    QImage picture = decoder->Decode(coded->data, width_, height_);
    if (picture.isNull()) continue;
    if (slot->Offer(std::move(picture), coded->captureTimeUs)) pictureReady();
  }
}

}  // namespace liveview
