#pragma once
// What the device list page needs of the window that hosts it, handed over
// when the window creates the page: the device records and the state of the
// last search, the logins set aside, whether a batch run is busy, where its
// messages go, and the settings and looks it starts with. Every call is made
// on the UI thread.

#include <QFont>
#include <QString>

#include "core/device/device_record.h"
#include "ui/framework/private_messages.h"

class DeviceListHost {
 public:
  virtual ~DeviceListHost() = default;

  // The records of the last search, which the rows point at.
  virtual DeviceMap& DeviceRecords() = 0;
  // How many records the last discovery returned (0 after a failed one).
  virtual int LastSearchCount() const = 0;
  // Logins set aside after a network change, logged out before the next search.
  virtual RetiredLoginHandles& RetiredLogins() = 0;
  // A batch run goes on (the page's commands and searches are refused).
  virtual bool BatchRunBusy() const = 0;
  // Where WM_REQUEST_SEARCH goes, and WM_DEVICE_ITEM_UPDATE.
  virtual pm::MessageReceiver* SearchReceiver() = 0;
  virtual pm::MessageReceiver* BatchPage() = 0;
  // The column mask, the per-user folder (for the QR picture) and the
  // count's large font, as the window holds them.
  virtual int ColumnMask() const = 0;
  virtual QString UserDataFolder() const = 0;
  virtual QFont CountFont() const = 0;
};
