#pragma once
// The batch page over the fake device library, for the runs whose workers
// run on threads of their own: waiting for a worker, driving the library's
// progress callback, reading the device list's login cells.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

#include "tests/ui/operations/operate_page_fixture.h"
#include "ui/main/device_columns.h"

namespace operate_test {

class ThreadedRunTest : public OperatePageTest {
 protected:
  void SetUp() override {
    OperatePageTest::SetUp();
    Search(ThreeDevices());
    library.fake.loginHandles = {{"192.168.1.10", 11}, {"192.168.1.30", 13}, {"10.0.0.20", 12}};
    library.fake.ClearCalls();
    op->upgradePage.upgradeFilePath = "/firmware/dv-t100.bin";
  }

  void TearDown() override {
    // No worker may outlive the page it points at.
    EXPECT_TRUE(WaitUntil([this] { return op->threadedRuns.runningWorkers == 0; }));
    OperatePageTest::TearDown();
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
    EXPECT_TRUE(WaitUntil([this] { return op->threadedRuns.runningWorkers == 0; }));
    return r;
  }

  // One report of the library for a device, then its message handled.
  void Report(const std::string& ip, int32_t total, int32_t done) {
    UpgradeProgressCallback(0, 0, total, done, &Record(ip));
    QCoreApplication::processEvents();
  }

  QString LoginCell(const std::string& ip) {
    CDlgDevInfo& list = Main().devInfoPage;
    for (int row = 0; row < list.RowCount(); ++row)
      if (list.RecordAt(row)->ip == ip) return list.CellText(row, kColLoginState);
    return {};
  }

  void LogIn(const std::string& ip, int32_t handle) {
    Record(ip).loggedIn = 1;
    Record(ip).loginHandle = handle;
    Record(ip).userName = "admin";
  }

  std::vector<std::string> FirstArgs(const std::string& operation) const {
    std::vector<std::string> args;
    for (const FakeCall& c : library.fake.CallsOf(operation)) args.push_back(c.Arg(0));
    return args;
  }

  int Counted() {
    std::lock_guard lock(op->statsLock);
    return op->successCount + op->failureCount;
  }

  static QString Percent(const std::string& ip, int value) {
    return QString::fromStdString(ip) + QStringLiteral("  %1%").arg(value);
  }
};

}  // namespace operate_test
