#pragma once
// The firmware upgrade run: its request, its worker, the progress the
// library reports and the watchdog on the page's timer 1.
//
// The worker only opens and starts one upgrade per checked device; the
// device library then reports through UpgradeProgressCallback on its own
// thread, which posts WM_UPGRADE_PROGRESS to the page. Each started device
// ends exactly once, on the UI thread: by its end report (-1 finished, -2
// failed) or given up by the watchdog.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "ui/operations/threaded_run.h"

struct DeviceRecord;

class UpgradeRun : public ThreadedRun {
 public:
  using ThreadedRun::ThreadedRun;

  // WM_BATCH_UPGRADE: 1 when the worker was started, else -1.
  pm::LRESULT Request();
  // WM_UPGRADE_PROGRESS for record with value (1..100, -1, -2). UI thread.
  void OnProgressMessage(DeviceRecord* record, int value);
  // Timer 1's tick while the run is busy: devices silent for a second tick
  // in a row are given up. True when that completed the run. UI thread.
  bool OnWatchdogTick();
  // Closing the program: every upgrade still open is closed (the library's
  // thread then reports no more) and its device left as given up, without
  // a count or a notice. UI thread, after StopAndWait.
  void CloseStartedUpgrades();

  // OperationStats of the run: the devices its walk reached, and their
  // results. statsLock guards the counters and every completion test.
  int selectedCount = 0;
  int successCount = 0;
  int failureCount = 0;
  std::mutex statsLock;
  std::atomic<uint8_t> upgradeBusy{0};
  std::string firmwarePath;  // the file of the current run

 private:
  void UpgradeWorker();
  void CountResult(bool success);
  // The completion test of the progress handler and the watchdog; true when
  // this call ended the run.
  bool CompleteIfDone();
  void TakeStartedUpgrade(DeviceRecord& record, int itemIndex, int32_t upgradeHandle);
  void ResetUpgradeFields(DeviceRecord& record);

  // Under statsLock. The walk has ended (by its last device or a cancelled
  // prompt): only then can the counters be complete, since the walk counts
  // the devices it actually reaches.
  bool walkDone_ = false;
  // The run's completion has been declared: it happens once per run.
  bool ended_ = false;
  // The prompt was cancelled: the run ends without a notice once the
  // upgrades it had started have ended.
  bool cancelled_ = false;
};

// The device library's upgrade progress callback (on the library's thread):
// turns total/done into a percent (1..100), -1 finished or -2 failed and posts
// WM_UPGRADE_PROGRESS to the page when the value changed. userData is the
// device's record, of which it writes only upgradeProgress and
// upgradeStallTicks, each as one atomic 32-bit value.
void UpgradeProgressCallback(int32_t loginHandle, int32_t upgradeHandle, int32_t total, int32_t done,
                             void* userData);
