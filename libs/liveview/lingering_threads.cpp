#include "libs/liveview/lingering_threads.h"

#include <algorithm>
#include <chrono>

namespace liveview {

LingeringThreads::~LingeringThreads() {
  for (auto& h : held_) h.thread.join();
}

void LingeringThreads::Adopt(std::thread thread, std::shared_future<void> ended) {
  std::lock_guard lock(mutex_);
  JoinEnded();
  held_.push_back({std::move(thread), std::move(ended)});
}

bool LingeringThreads::WaitUntilNoneLinger(std::chrono::milliseconds bound) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  std::vector<std::shared_future<void>> ends;
  {
    std::lock_guard lock(mutex_);
    for (const auto& h : held_) ends.push_back(h.ended);
  }
  for (const auto& ended : ends)
    if (ended.wait_until(deadline) != std::future_status::ready) return false;
  std::lock_guard lock(mutex_);
  JoinEnded();
  return held_.empty();
}

std::size_t LingeringThreads::Count() {
  std::lock_guard lock(mutex_);
  JoinEnded();
  return held_.size();
}

void LingeringThreads::JoinEnded() {
  const auto ended = std::partition(held_.begin(), held_.end(), [](const Held& h) {
    return h.ended.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
  });
  for (auto it = ended; it != held_.end(); ++it) it->thread.join();
  held_.erase(ended, held_.end());
}

}  // namespace liveview
