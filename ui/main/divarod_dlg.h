#pragma once
// The main window: frameless, hosts every page, owns the device map and the
// settings, runs searches.

#include <QDialog>

#include "core/device/device_record.h"

class CDivarodDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CDivarodDlg(QWidget* parent = nullptr);
  ~CDivarodDlg() override;

  DeviceMap deviceMap;
  RetiredLoginHandles retiredLoginHandles;
};

// The one main window, set by start-up before the window runs; every page
// reaches the main window through it. Never cleared.
extern CDivarodDlg* MainDialogInstance;
