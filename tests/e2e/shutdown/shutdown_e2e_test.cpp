// Closing the program by the platform while a batch run goes on, as a user
// with a large fleet meets it: the simulator and the program as processes of
// their own on loopback addresses, the program's window on a virtual X
// server of the test's own, closed by the window manager's message.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <string>
#include <vector>

#include "tests/e2e/devsim/devsim_process.h"
#include "tests/e2e/support/program_driver.h"
#include "tests/e2e/shutdown/window_manager_close.h"

namespace {

constexpr int kDevices = 300;

// Devices whose logins the user's password does not open, each answering
// after a short while, so that the walk over them takes some seconds.
QByteArray FleetText() {
  QByteArray text = "[fleet]\nanswer_spread_ms=50\n[defaults]\nusers=admin:admin123\nanswer_delay_ms=10\n";
  for (int i = 0; i < kDevices; ++i) {
    text += QByteArray("[d") + QByteArray::number(i) + "]\n";
    text += QByteArray("mac=02:00:00:00:") + QByteArray::number(i / 256, 16).rightJustified(2, '0') + ":" +
            QByteArray::number(i % 256, 16).rightJustified(2, '0') + "\n";
    text += QByteArray("ip=10.0.") + QByteArray::number(1 + i / 200) + "." + QByteArray::number(1 + i % 200) + "\n";
  }
  return text;
}

// A virtual X server on a free display, ended with the test.
class VirtualDisplay {
 public:
  bool Start() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(fds[1], 3);  // -displayfd: the number is written there once it serves
      const int null = ::open("/dev/null", O_WRONLY);
      ::dup2(null, 1);
      ::dup2(null, 2);
      ::execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "1280x800x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(fds[1]);
    std::string number;
    char c;
    pollfd p{fds[0], POLLIN, 0};
    while (::poll(&p, 1, 10000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(fds[0]);
    if (number.empty()) return false;
    name = ":" + number;
    return true;
  }
  ~VirtualDisplay() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  std::string name;

 private:
  pid_t pid_ = 0;
};

struct Outcome {
  int status = -1;      // exit status, or -1 when the program did not exit by itself
  int signal = 0;       // the signal that ended it, if one did
  std::string output;
  long closingToEndMs = -1;
};

// Runs binary with args on display to its end (killed after budgetMs); when
// it prints "closing <window>", closes that window as the window manager does.
Outcome RunProgram(const std::string& binary, std::vector<std::string> args, const std::string& display,
                   int budgetMs) {
  Outcome outcome;
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return outcome;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(pipeFds[1], 1);
    ::dup2(pipeFds[1], 2);
    ::setenv("DISPLAY", display.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    std::vector<char*> argv{const_cast<char*>(binary.c_str())};
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(binary.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::milliseconds(budgetMs);
  Clock::time_point closing{};
  char buffer[4096];
  while (Clock::now() < end) {
    pollfd p{pipeFds[0], POLLIN, 0};
    if (::poll(&p, 1, 50) > 0) {
      const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
      if (n <= 0) break;
      outcome.output.append(buffer, static_cast<std::size_t>(n));
      const auto at = outcome.output.find("closing ");
      const auto eol = at == std::string::npos ? at : outcome.output.find('\n', at);
      if (closing == Clock::time_point{} && eol != std::string::npos) {
        closing = Clock::now();
        if (!SendDeleteWindow(display, std::stoul(outcome.output.substr(at + 8, eol - at - 8))))
          outcome.output += "[the close could not be sent]\n";
      }
    }
  }
  ::close(pipeFds[0]);
  // Its output has ended: the program is ending, or has to be ended.
  int status = 0;
  bool exited = false;
  for (int i = 0; i < 100 && !exited; ++i) {
    exited = ::waitpid(pid, &status, WNOHANG) == pid;
    if (!exited) ::usleep(20000);
  }
  if (!exited) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return outcome;
  }
  const auto ended = Clock::now();
  if (WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
  if (closing != Clock::time_point{})
    outcome.closingToEndMs = std::chrono::duration_cast<std::chrono::milliseconds>(ended - closing).count();
  return outcome;
}

TEST(ShutdownE2e, ClosingTheWindowDuringAnImportOverManyDevicesEndsTheRunAndTheProgram) {
  QTemporaryDir work;
  ASSERT_TRUE(work.isValid());
  VirtualDisplay display;
  ASSERT_TRUE(display.Start()) << "no virtual X server (Xvfb)";
  simtest::DevsimProcess sim;
  const std::string fleet = e2e::WriteFleet(work, FleetText()).toStdString();
  ASSERT_TRUE(sim.StartOnLoopbackRange(DEVSIM_BIN, [&](const testsupport::LoopbackRange& r) {
    return std::vector<std::string>{"--fleet", fleet, r.DevsimOption(), "--discovery", "127.0.0.1:0"};
  })) << sim.output;
  ASSERT_EQ(e2e::CopyShippedConfig(work.path()), "");
  const QString configFile = work.filePath("exported.coi");
  {
    QFile out(configFile);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(QByteArray(4096, 'c'));
  }

  const Outcome outcome =
      RunProgram(CLOSE_DURING_IMPORT_BIN,
                 {work.path().toStdString(), configFile.toStdString(), devicelink::FormatEndpoint(sim.discovery[0]),
                  std::to_string(kDevices)},
                 display.name, 90000);
  SCOPED_TRACE(outcome.output);
  EXPECT_EQ(outcome.signal, 0);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(outcome.output.find("closed by the platform: yes"), std::string::npos);
  EXPECT_NE(outcome.output.find("after close: 0 library calls, 0 windows"), std::string::npos);
  // At once: the close waits for the one login under way (10 ms here). The
  // program's own figure, from the close event to the end of its modal run:
  // the process's end also holds the sanitizers' work at exit (seconds under
  // the address sanitizer on a loaded machine), which says nothing of the
  // close; that the process ends by itself at all is tested above.
  ASSERT_GE(outcome.closingToEndMs, 0);
  const auto at = outcome.output.find("run ended ");
  ASSERT_NE(at, std::string::npos);
  EXPECT_LT(std::stol(outcome.output.substr(at + 10)), 5000);
}

}  // namespace
