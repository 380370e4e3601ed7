#include "libs/devicelink/upgrade_job.h"

#include <algorithm>

namespace devicelink {

UpgradeJob::UpgradeJob(int32_t loginHandle, int32_t upgradeHandle, Endpoint device, Credentials credentials,
                       std::shared_ptr<const FirmwareImage> image, devicelib::UpgradeProgressCallback callback, void* userData)
    : loginHandle_(loginHandle),
      upgradeHandle_(upgradeHandle),
      device_(device),
      credentials_(credentials),
      image_(std::move(image)),
      callback_(callback),
      userData_(userData) {}

UpgradeJob::~UpgradeJob() { Stop(); }

bool UpgradeJob::Start() {
  {
    std::lock_guard lock(mutex_);
    if (started_ || session_ || stopping_) return false;
  }
  auto session = Session::Join(device_, credentials_, kLoginTimeoutMs);
  if (!session) return false;
  {
    // A Stop() from now on closes this connection, which ends the Begin below.
    std::lock_guard lock(mutex_);
    if (stopping_) return false;
    session_ = session;
  }
  msg::UpgradeBeginRequest begin;
  begin.size = image_->size();
  begin.sha256 = image_->sha256();
  if (!session->Call(wire::Type::kUpgradeBegin, msg::Encode(begin), kUpgradeStepTimeoutMs).ok()) {
    session->Close();
    return false;
  }
  std::lock_guard lock(mutex_);
  if (stopping_) return false;
  started_ = true;
  thread_ = std::thread([self = shared_from_this()] { self->Run(); });
  return true;
}

void UpgradeJob::Stop() {
  stopping_ = true;
  std::thread thread;
  {
    std::lock_guard lock(mutex_);
    if (session_) session_->Close();
    thread.swap(thread_);
  }
  if (thread.joinable()) {
    if (thread.get_id() == std::this_thread::get_id())
      thread.detach();  // closed from inside the callback: the thread ends on its own
    else
      thread.join();
  }
}

void UpgradeJob::Report(int32_t total, int32_t done) {
  if (!stopping_ && callback_) callback_(loginHandle_, upgradeHandle_, total, done, userData_);
}

void UpgradeJob::Run() {
  const std::span<const uint8_t> image = image_->bytes();
  const auto total = static_cast<int32_t>(image.size());
  Report(total, 0);
  std::size_t sent = 0;
  while (sent < image.size()) {
    const std::size_t n = std::min(wire::kFirmwareChunk, image.size() - sent);
    // UpgradeData: the offset, then the chunk straight out of the shared image.
    wire::Writer offset;
    offset.U64(sent);
    if (!session_->Call(wire::Type::kUpgradeData, offset.data(), image.subspan(sent, n), kUpgradeStepTimeoutMs).ok()) {
      Report(0, -2);
      return;
    }
    sent += n;
    Report(total, static_cast<int32_t>(sent));
  }
  const Reply commit = session_->Call(wire::Type::kUpgradeCommit, std::vector<uint8_t>{}, kUpgradeStepTimeoutMs);
  if (!commit.ok()) {
    Report(0, -2);
    return;
  }
  // The device now writes the image and reports on its own, under the
  // commit's sequence number.
  for (;;) {
    wire::Frame frame;
    const IoResult r = session_->Receive(frame, DeadlineIn(kUpgradeWriteSilenceMs));
    if (stopping_) return;
    if (r != IoResult::kOk) {
      Report(0, -2);
      return;
    }
    if (frame.header.type == wire::Type::kUpgradeProgress) {
      if (const auto p = msg::DecodeUpgradeProgress(frame.payload)) Report(-1, static_cast<int32_t>(p->percent));
    } else if (frame.header.type == wire::Type::kUpgradeDone) {
      Report(0, frame.header.status == wire::kOk ? -1 : -2);
      session_->Close();
      return;
    }
  }
}

}  // namespace devicelink
