#pragma once
// What the upgrade and import runs share: the request that starts a worker,
// the worker's walk over the checked devices, and its reads and writes of the
// tree, which belongs to the UI thread.

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>

#include "ui/framework/private_messages.h"

class CDlgOperate;
struct DeviceRecord;

// The request: something checked ("msg.Sel_dev_first" otherwise), a main
// window, a root and no search under way; then the busy flag, the last run's
// item texts reset, `prepare` on the UI thread and `worker` on a thread of its
// own. 1 when the worker was started, else -1.
pm::LRESULT StartThreadedRun(CDlgOperate& page, std::atomic<uint8_t>& busy, const std::function<void(int checked)>& prepare,
                             int (*worker)(CDlgOperate*));

// The walk's next item, read on the UI thread.
struct WalkItem {
  bool exists = false;  // false past the last item
  bool checked = false;
  DeviceRecord* record = nullptr;
};
WalkItem ReadWalkItem(CDlgOperate& page, int index);

// The worker's walk over the checked devices in tree order, with one login
// prompt per run. Each device the walk reaches is marked as touched by the
// run and handed to step with its item index and its login (1 logged in, -1
// failed). False when the prompt was cancelled: the walk ended there.
using WalkStep = std::function<void(int index, DeviceRecord& record, int login)>;
bool WalkCheckedDevices(CDlgOperate& page, const WalkStep& step);

// The item's text becomes its label, two blanks and status (written on the UI thread).
void SetWalkItemStatus(CDlgOperate& page, int index, const QString& status);

// Runs fn on the UI thread for a worker and waits for it.
void RunOnPageThread(CDlgOperate& page, const std::function<void()>& fn);

// The notice that ends a run, from whichever thread.
void ShowRunCompletedNotice();
