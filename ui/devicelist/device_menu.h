#pragma once
// The device list's right-click menu: which entries a row offers, the menu
// itself, and the name offered for a configuration export.

#include <QDateTime>
#include <QString>
#include <vector>

#include "core/device/device_record.h"

class QMenu;
class QWidget;

// Command ids of the menu's entries.
enum DeviceMenuId : int {
  kMenuNone = 0,  // dismissed
  kMenuMainStream = 3001,
  kMenuSubStream = 3002,
  kMenuOpenWeb = 3003,
  kMenuNetwork = 3004,
  kMenuLogin = 3005,
  kMenuExport = 3006,
  kMenuModifyModel = 3007,
  kMenuCopy = 3008,
};

struct DeviceMenuEntry {
  int id;               // kMenuNone for the preview submenu's own entry
  const char* textKey;  // language key of its text
  bool inSubmenu;       // one of the preview submenu's two stream items
};

// The entries a right-click on column of a device's row offers, in menu
// order. Entries whose condition fails are left out, not greyed.
std::vector<DeviceMenuEntry> DeviceMenuEntries(const DeviceRecord& record, int column, bool modifyModelMode);

// Fills menu with the entries' translated texts; every command action
// carries its id as data.
void BuildDeviceMenu(QMenu& menu, const std::vector<DeviceMenuEntry>& entries);

// The menu as one text, an entry a line ("3005 Login"; the submenu's items
// indented under its name), as the modal seam shows it to an answerer.
QString DescribeDeviceMenu(const std::vector<DeviceMenuEntry>& entries);

// Shows the menu at the cursor, owned by owner, and returns the chosen id or
// kMenuNone. Goes through the modal seam (kind "menu").
int TrackDeviceMenu(QWidget* owner, const std::vector<DeviceMenuEntry>& entries);

// The file name offered for an export: the version text before "Build:"
// (empty without one), ".", and the local time as YYYYMMDDhhmmss. A "/" of
// the device's text becomes "_", so the name cannot point the dialog at
// another folder.
QString ExportFileName(const QString& versionText, const QDateTime& localTime);
