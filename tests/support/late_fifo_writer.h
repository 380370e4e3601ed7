#pragma once
// A FIFO where a file is expected. Opening a FIFO to read waits until some
// process opens it to write; the FIFO here gets its writer only late, so a
// reader that opened it without testing what it is would still be waiting
// then. ReturnsBeforeAWriter tells whether a call came back before that.
// The destructor releases any reader still waiting (it opens the FIFO to
// write and closes it again: the reader sees an empty file).

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace testsupport {

class LateFifoWriter {
 public:
  explicit LateFifoWriter(std::string path, std::chrono::milliseconds late = std::chrono::seconds(3))
      : path_(std::move(path)), late_(late) {
    made_ = ::mkfifo(path_.c_str(), 0666) == 0;
  }
  ~LateFifoWriter() {
    ReleaseReaders(std::chrono::milliseconds(200));
    ::unlink(path_.c_str());
  }
  LateFifoWriter(const LateFifoWriter&) = delete;
  LateFifoWriter& operator=(const LateFifoWriter&) = delete;

  bool made() const { return made_; }
  const std::string& path() const { return path_; }

  // Runs call; a writer comes `late` after the start unless call returned
  // first. True when call returned before that.
  bool ReturnsBeforeAWriter(const std::function<void()>& call) {
    std::atomic<bool> writerCame{false};
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    std::thread writer([&] {
      std::unique_lock lock(m);
      if (cv.wait_for(lock, late_, [&] { return done; })) return;
      writerCame = true;
      lock.unlock();
      // Releases the reader stuck in open(); gives up once the call is over.
      while (true) {
        {
          std::lock_guard g(m);
          if (done) return;
        }
        if (OpenAndCloseForWriting()) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    });
    call();
    const bool before = !writerCame.load();
    {
      std::lock_guard g(m);
      done = true;
    }
    cv.notify_all();
    writer.join();
    return before;
  }

  // Opens and closes the FIFO for writing for a while, so that every reader
  // waiting in open() goes on (and reads an empty file).
  void ReleaseReaders(std::chrono::milliseconds during) {
    const auto until = std::chrono::steady_clock::now() + during;
    while (std::chrono::steady_clock::now() < until) {
      OpenAndCloseForWriting();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

 private:
  // Without a reader the open fails at once (ENXIO) instead of waiting.
  bool OpenAndCloseForWriting() {
    const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
  }

  std::string path_;
  std::chrono::milliseconds late_;
  bool made_ = false;
};

}  // namespace testsupport
