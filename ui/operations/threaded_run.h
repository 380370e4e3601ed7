#pragma once
// A batch run whose walk runs on a worker thread of its own: the firmware
// upgrade and the configuration import. The batch page owns one of each and
// shows it. A run keeps its worker and a stop flag, which the walk tests
// between devices: closing the program raises it and waits for the worker,
// and from then on nothing of the run reaches the user or the library.

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "ui/framework/private_messages.h"
#include "ui/operations/checked_device_walk.h"

class CDlgOperate;

class ThreadedRun {
 public:
  explicit ThreadedRun(CDlgOperate& page) : page_(page) {}
  virtual ~ThreadedRun();
  ThreadedRun(const ThreadedRun&) = delete;
  ThreadedRun& operator=(const ThreadedRun&) = delete;

  // The worker has not yet returned.
  bool WorkerRunning() const { return workerRunning_.load(); }
  // Raises the stop flag and waits for the worker to return, serving the UI
  // thread's events meanwhile (the worker hands its reads and results to the
  // UI thread), with no prompt or notice shown. The wait lasts at most the
  // library call under way.
  void StopAndWait();
  bool Stopping() const { return stop_.load(); }

 protected:
  // The request: something checked ("msg.Sel_dev_first" otherwise), a root
  // and no search under way; then the busy flag, the last run's item texts
  // reset, `prepare` on the UI thread and `worker` on the run's thread. 1 when
  // the worker was started, else -1.
  pm::LRESULT Start(std::atomic<uint8_t>& busy, const std::function<void(int checked)>& prepare,
                    std::function<void()> worker);
  // The walk over the checked devices, stopped by the stop flag.
  WalkEnd Walk(const DeviceStep& step) { return WalkCheckedDevices(page_, step, &stop_); }
  // The notice that ends a run, from whichever thread.
  void ShowCompletedNotice() const;

  CDlgOperate& page_;

 private:
  void WaitForWorker();

  std::thread worker_;
  std::atomic<bool> workerRunning_{false};
  std::atomic<bool> stop_{false};
};
