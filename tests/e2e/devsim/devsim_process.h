#pragma once
// Starts divarod-devsim as a separate process, waits for its ready line and
// stops it again: the simulator as a user meets it. Outside a private
// network namespace its devices go on a loopback range of the test's own
// (StartOnLoopbackRange).

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "libs/devicelink/socket_io.h"
#include "tests/support/loopback_range.h"

namespace simtest {

class DevsimProcess {
 public:
  // Returns false (with the simulator's output in `output`) when it did not
  // report ready within the budget. A simulator started before is stopped first.
  bool Start(const std::string& binary, std::vector<std::string> args, int budgetMs = 10000) {
    Stop();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    output.clear();
    discovery.clear();
    pid_ = Spawn(binary, args, fd_);
    if (pid_ < 0) {
      pid_ = 0;
      return false;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(budgetMs);
    while (std::chrono::steady_clock::now() < end) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      char buf[4096];
      const ssize_t n = ::read(fd_, buf, sizeof buf);
      if (n <= 0) break;
      output.append(buf, static_cast<std::size_t>(n));
      const auto ready = output.find("devsim ready discovery=");
      const auto eol = ready == std::string::npos ? std::string::npos : output.find('\n', ready);
      if (eol != std::string::npos) {
        std::string list = output.substr(ready + 23, output.find(' ', ready + 23) - (ready + 23));
        bool ok = false;
        std::size_t start = 0;
        while (start <= list.size()) {
          const auto comma = list.find(',', start);
          const auto item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
          if (const auto e = devicelink::ParseEndpoint(item)) {
            discovery.push_back(*e);
            ok = true;
          }
          if (comma == std::string::npos) break;
          start = comma + 1;
        }
        return ok;
      }
    }
    return false;
  }

  // Starts it with the arguments args(range) on a loopback range of the
  // test's own (tests/support/loopback_range.h), again on another range while
  // it found a device's address in use. The range stays claimed until this
  // object ends. False when it did not start (why in `output`).
  template <typename Args>
  bool StartOnLoopbackRange(const std::string& binary, Args args, int budgetMs = 10000) {
    std::string error;
    range = testsupport::StartOnFreeLoopbackRange(
        [&](const testsupport::LoopbackRange& r, std::string& why) {
          if (Start(binary, args(r), budgetMs)) return true;
          Stop();
          why = output;
          return false;
        },
        error);
    if (!range && output.empty()) output = error;
    return range.has_value();
  }

  // Exit status after SIGTERM, or -1 when it had to be killed.
  int Stop() {
    if (pid_ <= 0) return -1;
    ::kill(pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100; ++i) {
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status, 0);
    pid_ = 0;
    return -1;
  }

  // Runs to its end (for command-line errors): exit status and output.
  static int RunToEnd(const std::string& binary, std::vector<std::string> args, std::string& output) {
    int fd = -1;
    const pid_t pid = Spawn(binary, args, fd);
    if (pid < 0) return -1;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0) output.append(buf, static_cast<std::size_t>(n));
    ::close(fd);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  ~DevsimProcess() {
    Stop();
    if (fd_ >= 0) ::close(fd_);
  }

  std::vector<devicelink::Endpoint> discovery;
  std::string output;
  std::optional<testsupport::LoopbackRange> range;  // after StartOnLoopbackRange

 private:
  // Starts binary with args, its stdout and stderr on the pipe whose read end
  // goes to readFd. Returns the child's pid, or -1.
  static pid_t Spawn(const std::string& binary, std::vector<std::string>& args, int& readFd) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::dup2(out[1], 1);
      ::dup2(out[1], 2);
      std::vector<char*> argv;
      argv.push_back(const_cast<char*>(binary.c_str()));
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(binary.c_str(), argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    if (pid < 0) {
      ::close(out[0]);
      return -1;
    }
    readFd = out[0];
    return pid;
  }

  pid_t pid_ = 0;
  int fd_ = -1;
};

}  // namespace simtest
