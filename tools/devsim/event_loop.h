#pragma once
// A single-threaded poll() loop with timers. Everything the simulator does
// runs on it, so device state needs no locks; other threads hand work in
// through Post().

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

namespace devsim {

class EventLoop {
 public:
  using Clock = std::chrono::steady_clock;
  using IoHandler = std::function<void(short revents)>;

  EventLoop();
  ~EventLoop();
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  void Watch(int fd, short events, IoHandler handler);
  void SetEvents(int fd, short events);
  void Unwatch(int fd);

  uint64_t After(std::chrono::milliseconds delay, std::function<void()> task);
  void Cancel(uint64_t timer);

  // Thread-safe: runs the task on the loop's thread.
  void Post(std::function<void()> task);
  // Thread-safe: Run() returns after the current round.
  void Quit();
  void Run();

 private:
  void Wake();
  void DrainPosted();

  struct Watched {
    short events;
    IoHandler handler;
  };
  std::map<int, Watched> watched_;
  std::multimap<Clock::time_point, uint64_t> timerOrder_;
  std::map<uint64_t, std::pair<Clock::time_point, std::function<void()>>> timers_;
  uint64_t nextTimer_ = 1;
  int wakeFd_ = -1;
  std::mutex postedMutex_;
  std::vector<std::function<void()>> posted_;
  std::atomic<bool> quit_{false};
};

}  // namespace devsim
