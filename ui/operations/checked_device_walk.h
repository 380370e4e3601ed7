#pragma once
// The walk of every batch run over the checked devices of the batch page's
// tree, in tree order, with one login prompt per run.
//
// It runs on the UI thread (the synchronous runs) or on a run's worker (the
// upgrade and the import). The tree and the records belong to the UI thread:
// the walk reads each item there, and a step changes a record there only (at
// once on the UI thread, through handover::RunOnUiThread from a worker).

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

class CDlgOperate;
struct DeviceRecord;

// A checked device the walk has reached and logged in (or failed to).
struct CheckedDevice {
  int index = 0;                   // the item's place under the root
  DeviceRecord* record = nullptr;  // the device's record: touched on the UI thread only
  int login = 0;                   // 1 logged in, -1 the login failed
  int32_t loginHandle = 0;         // the login the step works with (login 1)
  std::string mac;
};

// A step works on one device and returns the key of the status its item
// then shows, or nullptr when the status comes later (the upgrade's reports).
using DeviceStep = std::function<const char*(const CheckedDevice&)>;

enum class WalkEnd {
  Walked,     // every item was reached
  Cancelled,  // the user cancelled the run's login prompt
  Stopped,    // the stop flag was raised (the program closes)
};

// Each device reached is marked touched by the run (batchTouched) before its
// step; the stop flag, when given, is tested before each device.
WalkEnd WalkCheckedDevices(CDlgOperate& page, const DeviceStep& step, const std::atomic<bool>* stop = nullptr);
