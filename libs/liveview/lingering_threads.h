#pragma once
// Receiving threads that a view stopped waiting for. Stopping or closing a
// view must not wait on a picture under decode, so a thread that has not
// ended soon after its stream was shut is handed over here: it ends by
// itself once that picture is done (nothing it does reaches the view any
// more) and is joined here, at the latest when the library goes.

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
