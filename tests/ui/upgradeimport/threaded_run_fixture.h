#pragma once
// The batch page over the fake device library, for the runs whose workers
// run on threads of their own: waiting for a worker, driving the library's
// progress callback.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

#include "tests/ui/operations/operate_page_fixture.h"

namespace operate_test {

class ThreadedRunTest : public ThreeDeviceRunTest {
 protected:
  void SetUp() override {
    ThreeDeviceRunTest::SetUp();
    op->upgradePage.upgradeFilePath = "/firmware/dv-t100.bin";
  }

  void TearDown() override {
    // No worker may outlive the page it points at.
    EXPECT_TRUE(WaitUntil([this] { return !op->WorkersRunning(); }));
    ThreeDeviceRunTest::TearDown();
  }

  // Serves the UI thread's events until pred holds (bounded).
  static bool WaitUntil(const std::function<bool()>& pred, int budgetMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
      if (clock.elapsed() > budgetMs) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      QThread::msleep(1);
    }
    return true;
  }

  // Sends a run's request and serves the UI thread until its worker returned.
  pm::LRESULT Run(unsigned message, pm::WPARAM wParam = 0) {
    const pm::LRESULT r = pm::SendPrivateMessage(op, message, wParam);
    EXPECT_TRUE(WaitUntil([this] { return !op->WorkersRunning(); }));
    return r;
  }

  // One report of the library for a device, then its message handled.
  void Report(const std::string& ip, int32_t total, int32_t done) {
    UpgradeProgressCallback(0, 0, total, done, &Record(ip));
    QCoreApplication::processEvents();
  }

  int Counted() {
    std::lock_guard lock(op->upgradeRun.statsLock);
    return op->upgradeRun.successCount + op->upgradeRun.failureCount;
  }

  static QString Percent(const std::string& ip, int value) {
    return QString::fromStdString(ip) + QStringLiteral("  %1%").arg(value);
  }
};

}  // namespace operate_test
