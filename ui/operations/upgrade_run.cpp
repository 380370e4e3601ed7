// The firmware upgrade run: request, worker, progress and watchdog.
//
// The worker only opens and starts one upgrade per checked device; the
// device library then reports through UpgradeProgressCallback on its own
// thread, which posts WM_UPGRADE_PROGRESS to the page. Each started device
// ends exactly once, on the UI thread: by its end report (-1 finished, -2
// failed) or given up by the watchdog on timer 1.
//
// How a run is kept whole:
// - The walk counts the devices it actually reaches, and no completion test
//   passes before the walk has ended: a check box changed during the walk can
//   neither leave the run waiting for ever nor end it early.
// - A record is ended only while it holds an upgrade (upgradeItem set), and
//   ending it clears that, so a late report is never counted again. The
//   watchdog leaves a record whose end report is already on its way to the
//   progress handler.
// - A cancelled prompt ends the walk; the upgrades it had started keep
//   running, and the run (with its busy flag, which refuses new runs,
//   searches and Quit) ends without a notice once the last of them has ended,
//   at once when none had started. So no report of an old run can reach a new
//   run's counters, and no record a report points at goes with a new search.
#include <atomic>

#include "core/device/device_library.h"
#include "core/language/language.h"
#include "ui/main/divarod_dlg.h"
#include "ui/operations/dlg_operate.h"
#include "ui/operations/threaded_runs.h"
#include "ui/operations/upgrade_progress.h"

namespace {

// The fields the library's thread shares with the UI thread, each read and
// written whole.
std::atomic_ref<int32_t> ProgressOf(DeviceRecord& record) { return std::atomic_ref<int32_t>(record.upgradeProgress); }
std::atomic_ref<int32_t> StallTicksOf(DeviceRecord& record) {
  return std::atomic_ref<int32_t>(record.upgradeStallTicks);
}

bool IsEndReport(int32_t value) { return value == -1 || value == -2; }

// The device's item while its upgrade runs: upgradeItem is its position under
// the root, plus one. The tree does not change while a run is busy.
QTreeWidgetItem* UpgradeItemOf(const CDlgOperate& page, const DeviceRecord& record) {
  QTreeWidgetItem* item = page.DeviceItem(record.upgradeItem - 1);
  return item && CDlgOperate::RecordOfItem(item) == &record ? item : nullptr;
}

// The device's upgrade has ended: the record goes back to idle, its login
// dropped, and the device list shows it logged out.
void ResetUpgradeFields(DeviceRecord& record) {
  record.upgradeItem = 0;
  record.loginHandle = 0;
  ProgressOf(record).store(0);
  StallTicksOf(record).store(0);
  record.upgradeHandle = 0;
  if (MainDialogInstance) MainDialogInstance->devInfoPage.SetLoginState(std::string(record.mac), 0);
}

void CountResult(CDlgOperate& page, bool success) {
  std::lock_guard lock(page.statsLock);
  if (success)
    ++page.successCount;
  else
    ++page.failureCount;
}

// The completion test of the progress handler and the watchdog. True when
// this call ended the run; then the busy flag is clear and the notice (for a
// run that was not cancelled) has been shown.
bool CompleteUpgradeRunIfDone(CDlgOperate& page) {
  bool notice = false;
  {
    std::lock_guard lock(page.statsLock);
    ThreadedRunState& run = page.threadedRuns;
    if (run.upgradeEnded || !run.upgradeWalkDone) return false;
    if (page.successCount + page.failureCount != page.selectedCount) return false;
    if (page.selectedCount <= 0 && !run.upgradeCancelled) return false;
    run.upgradeEnded = true;
    notice = !run.upgradeCancelled;
  }
  page.upgradeBusy = 0;
  if (notice) ShowRunCompletedNotice();
  return true;
}

// A started upgrade, handed over by the worker once SdkStartUpgrade has
// returned. Its end report may have come before: the handler then found no
// item and left the end to this point.
void TakeStartedUpgrade(CDlgOperate& page, DeviceRecord& record, int itemIndex, int32_t upgradeHandle) {
  record.upgradeHandle = upgradeHandle;
  record.upgradeItem = itemIndex + 1;
  const int32_t value = ProgressOf(record).load();
  if (value != 0) page.OnUpgradeProgressMessage(&record, value);
}

}  // namespace

pm::LRESULT CDlgOperate::OnBatchUpgrade() {
  return StartThreadedRun(*this, upgradeBusy, [this](int checked) {
    std::lock_guard lock(statsLock);
    selectedCount = checked;
    successCount = 0;
    failureCount = 0;
    threadedRuns.upgradeWalkDone = false;
    threadedRuns.upgradeEnded = false;
    threadedRuns.upgradeCancelled = false;
    firmwarePath = upgradePage.upgradeFilePath;
  }, &CDlgOperate::UpgradeWorker);
}

int CDlgOperate::UpgradeWorker(CDlgOperate* page) {
  const std::string firmware = page->firmwarePath;
  int reached = 0;
  const bool walked = WalkCheckedDevices(*page, [&](int index, DeviceRecord& record, int login) {
    ++reached;
    const char* status = nullptr;
    if (login == -1) {
      CountResult(*page, false);
      status = "info.Login_fail";
    } else {
      StallTicksOf(record).store(0);
      const int32_t upgrade =
          devicelib::Lib().SdkOpenUpgrade(record.loginHandle, firmware.c_str(), &UpgradeProgressCallback, &record, 0);
      if (upgrade == 0) {
        CountResult(*page, false);
        status = "tx.fail";
      } else if (devicelib::Lib().SdkStartUpgrade(upgrade) == 0) {
        CountResult(*page, false);
        devicelib::Lib().SdkCloseUpgrade(upgrade);
        status = "tx.fail";
      } else {
        RunOnPageThread(*page, [&] { TakeStartedUpgrade(*page, record, index, upgrade); });
      }
    }
    if (status) SetWalkItemStatus(*page, index, Text(QString::fromLatin1(status)));
  });
  if (!walked) {
    {
      std::lock_guard lock(page->statsLock);
      page->threadedRuns.upgradeWalkDone = true;
      page->threadedRuns.upgradeCancelled = true;
      page->selectedCount = reached;
    }
    RunOnPageThread(*page, [&] { CompleteUpgradeRunIfDone(*page); });
    return -2;
  }

  bool complete = false;
  {
    std::lock_guard lock(page->statsLock);
    page->threadedRuns.upgradeWalkDone = true;
    page->selectedCount = reached;
    complete = page->successCount + page->failureCount == page->selectedCount;
    if (complete) page->threadedRuns.upgradeEnded = true;
  }
  if (complete) {
    ShowRunCompletedNotice();
    page->upgradeBusy = 0;
  }
  return 0;
}

void UpgradeProgressCallback(int32_t, int32_t, int32_t total, int32_t done, void* userData) {
  auto* record = static_cast<DeviceRecord*>(userData);
  if (!record) return;
  const int32_t value = UpgradeProgressValue(total, done);
  StallTicksOf(*record).store(0);
  if (ProgressOf(*record).exchange(value) == value) return;
  pm::PostPrivateMessage(OperatePageInstance, pm::WM_UPGRADE_PROGRESS, reinterpret_cast<pm::WPARAM>(record), value);
}

pm::LRESULT CDlgOperate::OnUpgradeProgressMessage(DeviceRecord* record, int value) {
  if (!record) return 0;
  QTreeWidgetItem* item = record->upgradeItem ? UpgradeItemOf(*this, *record) : nullptr;
  if (item && value > 0) {
    // The event loop runs during an upgrade: the row repaints with the next
    // paint, however many reports arrive before it.
    item->setText(0, DeviceLabel(*record) + QStringLiteral("  %1%").arg(value));
  } else if (item && value == -1) {
    CountResult(*this, true);
    devicelib::Lib().SdkCloseUpgrade(record->upgradeHandle);
    SetDeviceItemStatus(item, Text(QStringLiteral("tx.success")));
    record->loggedIn = 0;  // the device restarts: its login goes without a logout
    ResetUpgradeFields(*record);
  } else if (item && value == -2) {
    {
      std::lock_guard lock(statsLock);
      ++failureCount;
      record->loggedIn = 0;
    }
    devicelib::Lib().SdkCloseUpgrade(record->upgradeHandle);
    devicelib::Lib().SdkLogout(record->loginHandle);
    SetDeviceItemStatus(item, Text(QStringLiteral("tx.fail")));
    deviceTree.viewport()->update();
    ResetUpgradeFields(*record);
  }
  CompleteUpgradeRunIfDone(*this);
  return 0;
}

void CDlgOperate::OnUpgradeWatchdog(int timerId) {
  if (timerId != kWatchdogTimer || !upgradeBusy) return;
  if (!rootItem || rootItem->childCount() == 0) return;
  bool gaveUp = false;
  for (int i = 0; i < DeviceItemCount(); ++i) {
    QTreeWidgetItem* item = DeviceItem(i);
    DeviceRecord* record = RecordOfItem(item);
    if (!record || record->upgradeHandle == 0) continue;
    // An end report on its way to the progress handler: that handler counts it.
    if (IsEndReport(ProgressOf(*record).load())) continue;
    if (StallTicksOf(*record).fetch_add(1) + 1 <= 1) continue;
    {
      std::lock_guard lock(statsLock);
      ++failureCount;
      record->loggedIn = 0;
    }
    devicelib::Lib().SdkCloseUpgrade(record->upgradeHandle);
    SetDeviceItemStatus(item, Text(QStringLiteral("tx.fail")));
    deviceTree.viewport()->update();
    ResetUpgradeFields(*record);
    gaveUp = true;
  }
  if (gaveUp && CompleteUpgradeRunIfDone(*this)) setEnabled(true);
}
