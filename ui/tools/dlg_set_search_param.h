#pragma once
// Settings page "search parameters": the periodic search on or off and its
// period, chosen among the configured periods. Without configured periods
// the page is disabled and reports the search off.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <vector>

#include "ui/tools/settings_page.h"

class CDlgSetSearchParam : public CSettingsPage {
  Q_OBJECT
 public:
  CDlgSetSearchParam();
  ~CDlgSetSearchParam() override;

  void SetTexts() override;
  void OnShown() override;

  // The list and its two labels are enabled exactly when the box is checked.
  void ApplyEnablingRule();
  // Reads the box and the selected period into enabled and minutes (0 with
  // no period selected).
  void ReadControls();

  int enabled = 1;
  int minutes = 50;
  std::vector<int> periods;  // the main window's Period_Time list

  QCheckBox periodicBox;    // 1186
  QLabel periodicLabel;     // 1187
  QComboBox periodList;     // 1099
  QLabel periodLabel;       // 1188
  QLabel unitLabel;         // 1191

 protected:
  void OnInitPage() override;
};
