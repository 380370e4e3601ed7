#include "ui/operations/threaded_run.h"

#include <QCoreApplication>

#include "ui/framework/modal_seam.h"
#include "ui/controls/dlg_tip.h"
#include "ui/operations/dlg_operate.h"

ThreadedRun::~ThreadedRun() { StopAndWait(); }

void ThreadedRun::StopAndWait() {
  const modal::RefuseWindows noWindowsNow;  // the run is ending: its prompt and notice are not shown
  stop_ = true;
  WaitForWorker();
}

void ThreadedRun::WaitForWorker() {
  while (workerRunning_.load()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  if (worker_.joinable()) worker_.join();
}

pm::LRESULT ThreadedRun::Start(std::atomic<uint8_t>& busy, const std::function<void(int checked)>& prepare,
                               std::function<void()> worker) {
  int checked = 0;
  if (!HasCheckedTreeItem(&page_.deviceTree, &checked)) {
    page_.selectedCount = 0;
    ShowNotice("msg.Sel_dev_first");
    return -1;
  }
  page_.selectedCount = checked;
  if (!page_.rootItem || page_.SearchRunning() || stop_.load()) return -1;
  // The last run's worker clears its busy flag just before it returns.
  WaitForWorker();
  busy = 1;
  page_.ResetDeviceItemTexts();
  prepare(checked);
  workerRunning_ = true;
  worker_ = std::thread([this, worker = std::move(worker)] {
    worker();
    workerRunning_ = false;  // the worker's last touch of the run
  });
  return 1;
}

void ThreadedRun::ShowCompletedNotice() const { ShowNotice("info.operate_completed"); }
