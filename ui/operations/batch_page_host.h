#pragma once
// What the batch page needs of the window that hosts it, handed over when
// the window creates the page: the device records and whether a search is
// under way, the device list page's batch login and login-state cell, where
// the port run's notice goes, and the configuration file.

#include <QString>
#include <string>

#include "core/device/device_record.h"
#include "ui/framework/private_messages.h"

class BatchPageHost {
 public:
  virtual ~BatchPageHost() = default;

  // The records of the last search, which the tree's items point at. UI thread.
  virtual DeviceMap& DeviceRecords() = 0;
  virtual bool SearchRunning() const = 0;
  // The batch login: one prompt per run, the same credentials for every
  // further device; 1 logged in, -1 refused, -2 cancelled. Callable from a
  // run's worker (the record is read and written on the UI thread).
  virtual int BatchLogin(bool& askCredentials, DeviceRecord* record, int& error, std::string& user,
                         std::string& password) = 0;
  // Sets a device's logged-in flag and its login-state cell in the device list.
  virtual int SetLoginState(std::string mac, int state) = 0;
  // Where WM_DEVICE_PORTS_CHANGED goes.
  virtual pm::MessageReceiver* DeviceListPage() = 0;
  // Config.ini, whose DEFAULT_CFG holds the port page's default ports.
  virtual QString ConfigIniPath() const = 0;
};
