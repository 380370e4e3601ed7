#include "libs/liveview/stream_receiver.h"

#include <cstdio>

#include "libs/liveview/live_view.h"
#include "libs/liveview/stream_intake.h"

namespace liveview {

namespace wire = devicelink::wire;
namespace msg = devicelink::msg;

std::unique_ptr<StreamReceiver> StreamReceiver::Open(const StreamAddress& address, int& result,
                                                     LingeringThreads& lingering) {
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
  return std::unique_ptr<StreamReceiver>(new StreamReceiver(std::move(login.session), *format, lingering));
}

StreamReceiver::StreamReceiver(std::shared_ptr<devicelink::Session> session, msg::StreamFormat format,
                               LingeringThreads& lingering)
    : lingering_(lingering) {
  shared_->session = std::move(session);
  shared_->format = format;
}

StreamReceiver::~StreamReceiver() {
  if (feed_) feed_->Shut();
  shared_->stop = true;
  shared_->session->Close();  // wakes the thread out of its receive
  if (!thread_.joinable()) return;
  if (ended_.wait_for(kStopWait) == std::future_status::ready) thread_.join();
  else lingering_.Adopt(std::move(thread_), ended_);
}

void StreamReceiver::SetSize(int width, int height) {
  shared_->width = width;
  shared_->height = height;
}

void StreamReceiver::Start(std::shared_ptr<FrameSlot> slot, std::function<void()> pictureReady) {
  if (thread_.joinable()) return;
  feed_ = std::make_shared<PictureFeed>(std::move(slot), std::move(pictureReady));
  std::promise<void> ended;
  ended_ = ended.get_future().share();
  thread_ = std::thread([shared = shared_, feed = feed_, ended = std::move(ended)]() mutable {
    Run(*shared, std::move(feed));
    ended.set_value();
  });
}

void StreamReceiver::Run(Shared& shared, std::shared_ptr<PictureFeed> feed) {
  auto intake = StreamIntake::Create(shared.format, std::move(feed));
  if (!intake) {
    std::fprintf(stderr, "liveview: libavcodec offers no H.264 decoder\n");
    return;
  }
  while (!shared.stop) {
    wire::Frame frame;
    // A stalled device sends nothing: the last picture stays, and stopping
    // the view closes the connection, which ends this wait at once.
    const auto io = shared.session->Receive(frame, devicelink::DeadlineIn(1000));
    if (io == devicelink::IoResult::kTimeout) continue;
    if (io != devicelink::IoResult::kOk) return;
    intake->Take(frame, shared.width, shared.height, &shared.stop);
  }
}

}  // namespace liveview
