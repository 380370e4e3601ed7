// How an upgrade run is kept whole:
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
#include "ui/operations/upgrade_run.h"

#include <atomic>

#include "core/device/device_library.h"
#include "core/language/language.h"
#include "ui/framework/thread_handover.h"
#include "ui/operations/dlg_operate.h"
#include "ui/operations/upgrade_progress.h"

namespace {

// The two fields the library's thread shares with the UI thread, each read
// and written whole.
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

void ClearUpgradeFields(DeviceRecord& record) {
  record.upgradeItem = 0;
  ProgressOf(record).store(0);
  StallTicksOf(record).store(0);
  record.upgradeHandle = 0;
}

}  // namespace

pm::LRESULT UpgradeRun::Request() {
  return Start(
      upgradeBusy,
      [this](int checked) {
        std::lock_guard lock(statsLock);
        selectedCount = checked;
        successCount = 0;
        failureCount = 0;
        walkDone_ = false;
        ended_ = false;
        cancelled_ = false;
        firmwarePath = page_.upgradePage.upgradeFilePath;
      },
      [this] { UpgradeWorker(); });
}

void UpgradeRun::UpgradeWorker() {
  const std::string firmware = firmwarePath;
  int reached = 0;
  const WalkEnd end = Walk([&](const CheckedDevice& device) -> const char* {
    ++reached;
    if (device.login == -1) {
      CountResult(false);
      return "info.Login_fail";
    }
    StallTicksOf(*device.record).store(0);
    const int32_t upgrade = devicelib::Lib().SdkOpenUpgrade(device.loginHandle, firmware.c_str(),
                                                            &UpgradeProgressCallback, device.record, 0);
    if (upgrade == 0) {
      CountResult(false);
      return "tx.fail";
    }
    if (devicelib::Lib().SdkStartUpgrade(upgrade) == 0) {
      CountResult(false);
      devicelib::Lib().SdkCloseUpgrade(upgrade);
      return "tx.fail";
    }
    handover::RunOnUiThread([&] { TakeStartedUpgrade(*device.record, device.index, upgrade); });
    return nullptr;  // the reports write the item from here on
  });

  bool complete = false;
  {
    std::lock_guard lock(statsLock);
    walkDone_ = true;
    selectedCount = reached;
    cancelled_ = end == WalkEnd::Cancelled;
    // Stopped: the program closes; CloseStartedUpgrades ends what is left.
    if (end == WalkEnd::Stopped) ended_ = true;
    complete = end == WalkEnd::Walked && successCount + failureCount == selectedCount;
    if (complete) ended_ = true;
  }
  if (end == WalkEnd::Cancelled) {
    handover::RunOnUiThread([&] { CompleteIfDone(); });
  } else if (complete) {
    ShowCompletedNotice();
    upgradeBusy = 0;
  }
}

void UpgradeRun::CountResult(bool success) {
  std::lock_guard lock(statsLock);
  if (success)
    ++successCount;
  else
    ++failureCount;
}

bool UpgradeRun::CompleteIfDone() {
  bool notice = false;
  {
    std::lock_guard lock(statsLock);
    if (ended_ || !walkDone_) return false;
    if (successCount + failureCount != selectedCount) return false;
    if (selectedCount <= 0 && !cancelled_) return false;
    ended_ = true;
    notice = !cancelled_;
  }
  upgradeBusy = 0;
  if (notice) ShowCompletedNotice();
  return true;
}

// A started upgrade, handed over by the worker once SdkStartUpgrade has
// returned. Its end report may have come before: the handler then found no
// item and left the end to this point.
void UpgradeRun::TakeStartedUpgrade(DeviceRecord& record, int itemIndex, int32_t upgradeHandle) {
  record.upgradeHandle = upgradeHandle;
  record.upgradeItem = itemIndex + 1;
  const int32_t value = ProgressOf(record).load();
  if (value != 0) OnProgressMessage(&record, value);
}

// The device's upgrade has ended: the record goes back to idle, its login
// dropped, and the device list shows it logged out.
void UpgradeRun::ResetUpgradeFields(DeviceRecord& record) {
  record.loginHandle = 0;
  ClearUpgradeFields(record);
  page_.SetLoginState(std::string(record.mac), 0);
}

void UpgradeRun::OnProgressMessage(DeviceRecord* record, int value) {
  if (!record) return;
  QTreeWidgetItem* item = record->upgradeItem ? UpgradeItemOf(page_, *record) : nullptr;
  if (item && value > 0) {
    // The event loop runs during an upgrade: the row repaints with the next
    // paint, however many reports arrive before it.
    item->setText(0, CDlgOperate::DeviceLabel(*record) + QStringLiteral("  %1%").arg(value));
  } else if (item && value == -1) {
    CountResult(true);
    devicelib::Lib().SdkCloseUpgrade(record->upgradeHandle);
    page_.SetDeviceItemStatus(item, Text(QStringLiteral("tx.success")));
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
    page_.SetDeviceItemStatus(item, Text(QStringLiteral("tx.fail")));
    page_.deviceTree.viewport()->update();
    ResetUpgradeFields(*record);
  }
  CompleteIfDone();
}

bool UpgradeRun::OnWatchdogTick() {
  bool gaveUp = false;
  for (int i = 0; i < page_.DeviceItemCount(); ++i) {
    QTreeWidgetItem* item = page_.DeviceItem(i);
    DeviceRecord* record = CDlgOperate::RecordOfItem(item);
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
    page_.SetDeviceItemStatus(item, Text(QStringLiteral("tx.fail")));
    page_.deviceTree.viewport()->update();
    ResetUpgradeFields(*record);
    gaveUp = true;
  }
  return gaveUp && CompleteIfDone();
}

void UpgradeRun::CloseStartedUpgrades() {
  for (int i = 0; i < page_.DeviceItemCount(); ++i) {
    DeviceRecord* record = CDlgOperate::RecordOfItem(page_.DeviceItem(i));
    if (!record || record->upgradeHandle == 0) continue;
    devicelib::Lib().SdkCloseUpgrade(record->upgradeHandle);
    ClearUpgradeFields(*record);
  }
  {
    std::lock_guard lock(statsLock);
    ended_ = true;
  }
  upgradeBusy = 0;
}

void UpgradeProgressCallback(int32_t, int32_t, int32_t total, int32_t done, void* userData) {
  auto* record = static_cast<DeviceRecord*>(userData);
  if (!record) return;
  const int32_t value = UpgradeProgressValue(total, done);
  StallTicksOf(*record).store(0);
  if (ProgressOf(*record).exchange(value) == value) return;
  pm::PostPrivateMessage(OperatePageInstance, pm::WM_UPGRADE_PROGRESS, reinterpret_cast<pm::WPARAM>(record), value);
}
