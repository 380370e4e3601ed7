#pragma once
// The device list page: one row per discovered device, fourteen columns,
// sorting by header click, the FIND/ALL filter, NET, EXPORT and SEARCH, the
// device count and the QR picture of the clicked device's cloud id. It also
// holds the running flags through which the main window, its timer and the
// other pages decide whether a search may start, and the login routines that
// the batch runs share.

#include <QWidget>
#include <cstdint>
#include <string>

#include "core/device/device_record.h"
#include "ui/framework/private_messages.h"

class CDlgDevInfo : public QWidget, public pm::MessageReceiver {
  Q_OBJECT
 public:
  explicit CDlgDevInfo(QWidget* parent = nullptr);
  ~CDlgDevInfo() override;

  // Makes the page a hidden child of parent and initialises it (placement,
  // layout, skins, columns, texts). The main window calls it once, after the
  // configuration and the language are loaded.
  bool Create(QWidget* parent);

  // The search command: SEARCH, the first search after start-up and the
  // periodic timer (which sets searchFromTimer right before) come through here.
  void RequestSearch();

  // Handed over by the main window when it creates the pages.
  void SetModifyModelMode(bool mode) { modifyModelMode = mode ? 1 : 0; }
  void SetColumnMask(int mask);

  // Login for batch runs: one prompt per run (askCredentials), the same
  // credentials for every further device. 1 logged in, -1 refused, -2 cancelled.
  int BatchLogin(bool& askCredentials, DeviceRecord* record, int& error, std::string& user,
                 std::string& password);
  // Sets the logged-in flag and the login-state cell of the row showing mac.
  // 1 when a row was found, -1 otherwise.
  int SetLoginState(std::string mac, int state);

  pm::LRESULT OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) override;

  // Running flags (plain bytes, UI thread only).
  uint8_t networkChangeRunning = 0;  // a network change runs (Quit reads it)
  uint8_t deviceCommandRunning = 0;  // the right-click menu and its command run
  uint8_t searchFromTimer = 0;       // the next RequestSearch comes from the timer
  uint8_t modifyModelMode = 1;
  uint8_t listShowingAll = 0;
  int shownColumns = 0x23FF;

 private:
  bool created_ = false;
};
