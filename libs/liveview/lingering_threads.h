#pragma once
// Receiving threads that a view stopped waiting for. Stopping or closing a
// view must not wait on a picture under decode, so a thread that has not
// ended soon after its stream was shut is handed over here: it ends by
// itself at the decode's next unit (nothing it does reaches the view any
// more) and is joined here, at the latest when the library goes. A view
// opened meanwhile waits for them first, so that no decoder's memory is
// stacked on one still letting go of its own.

#include <chrono>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace liveview {

class LingeringThreads {
 public:
  LingeringThreads() = default;
  ~LingeringThreads();  // joins every thread still held
  LingeringThreads(const LingeringThreads&) = delete;
  LingeringThreads& operator=(const LingeringThreads&) = delete;

  // `ended` becomes ready as the thread's work ends. Joins, on the way, the
  // threads held that have ended since.
  void Adopt(std::thread thread, std::shared_future<void> ended);
  // Waits at most `bound` until every thread held has ended; true when they have.
  bool WaitUntilNoneLinger(std::chrono::milliseconds bound);
  // How many are held (tests).
  std::size_t Count();

 private:
  struct Held {
    std::thread thread;
    std::shared_future<void> ended;
  };
  void JoinEnded();

  std::mutex mutex_;
  std::vector<Held> held_;
};

}  // namespace liveview
