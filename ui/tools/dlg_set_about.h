#pragma once
// Settings page "about": the program's name, version and release.

#include <QLabel>

#include "ui/tools/settings_page.h"

class CDlgSetAbout : public CSettingsPage {
  Q_OBJECT
 public:
  CDlgSetAbout();
  ~CDlgSetAbout() override;

  void SetTexts() override;
  void OnShown() override;

  QString appName;
  QString versionText;
  QString releaseText;  // release date, two blanks, release time
  bool firstShow = true;

  QLabel nameText;      // 1248
  QLabel versionLabel;  // 1244
  QLabel versionValue;  // 1246
  QLabel releaseLabel;  // 1245
  QLabel releaseValue;  // 1247

 protected:
  void OnInitPage() override;
};
