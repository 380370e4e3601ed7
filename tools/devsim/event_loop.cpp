#include "tools/devsim/event_loop.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

namespace devsim {

EventLoop::EventLoop() : wakeFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

EventLoop::~EventLoop() {
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

void EventLoop::Watch(int fd, short events, IoHandler handler) { watched_[fd] = {events, std::move(handler)}; }

void EventLoop::SetEvents(int fd, short events) {
  const auto it = watched_.find(fd);
  if (it != watched_.end()) it->second.events = events;
}

void EventLoop::Unwatch(int fd) { watched_.erase(fd); }

uint64_t EventLoop::After(std::chrono::milliseconds delay, std::function<void()> task) {
  const uint64_t id = nextTimer_++;
  const auto at = Clock::now() + delay;
  timers_[id] = {at, std::move(task)};
  timerOrder_.emplace(at, id);
  return id;
}

void EventLoop::Cancel(uint64_t timer) { timers_.erase(timer); }

void EventLoop::Post(std::function<void()> task) {
  {
    std::lock_guard lock(postedMutex_);
    posted_.push_back(std::move(task));
  }
  Wake();
}

void EventLoop::Quit() {
  quit_ = true;
  Wake();
}

void EventLoop::Wake() {
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

void EventLoop::DrainPosted() {
  uint64_t count;
  [[maybe_unused]] const ssize_t n = ::read(wakeFd_, &count, sizeof count);
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard lock(postedMutex_);
    tasks.swap(posted_);
  }
  for (auto& t : tasks) t();
}

void EventLoop::Run() {
  std::vector<pollfd> fds;
  while (!quit_) {
    // Due timers first; a timer may add or cancel others.
    const auto now = Clock::now();
    while (!timerOrder_.empty() && timerOrder_.begin()->first <= now) {
      const uint64_t id = timerOrder_.begin()->second;
      timerOrder_.erase(timerOrder_.begin());
      const auto it = timers_.find(id);
      if (it == timers_.end()) continue;
      auto task = std::move(it->second.second);
      timers_.erase(it);
      task();
      if (quit_) return;
    }
    while (!timerOrder_.empty() && !timers_.count(timerOrder_.begin()->second)) timerOrder_.erase(timerOrder_.begin());
    int timeout = -1;
    if (!timerOrder_.empty()) {
      const auto wait = std::chrono::ceil<std::chrono::milliseconds>(timerOrder_.begin()->first - Clock::now());
      timeout = static_cast<int>(std::max<int64_t>(0, wait.count()));
    }
    fds.clear();
    fds.push_back({wakeFd_, POLLIN, 0});
    for (const auto& [fd, w] : watched_) fds.push_back({fd, w.events, 0});
    const int n = ::poll(fds.data(), fds.size(), timeout);
    if (n < 0 && errno != EINTR) return;
    if (n <= 0) continue;
    if (fds[0].revents) DrainPosted();
    for (std::size_t i = 1; i < fds.size(); ++i) {
      if (!fds[i].revents) continue;
      const auto it = watched_.find(fds[i].fd);
      if (it == watched_.end()) continue;  // unwatched by an earlier handler this round
      auto handler = it->second.handler;   // a copy: the handler may unwatch itself
      handler(fds[i].revents);
      if (quit_) return;
    }
  }
}

}  // namespace devsim
