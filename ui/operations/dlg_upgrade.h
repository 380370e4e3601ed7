#pragma once
// The upgrade sub-page: a firmware file chosen by browsing, and UPGRADE.

#include <QLabel>
#include <QLineEdit>
#include <string>

#include "ui/operations/batch_sub_page.h"

class CDlgUpgrade : public CBatchSubPage {
  Q_OBJECT
 public:
  enum ControlId { kIdLabel = 1176, kIdPath = 1164, kIdBrowse = 1172, kIdUpgrade = 1108 };
  static constexpr int kTemplate = 158;

  CDlgUpgrade();

  void LayoutControls() override;
  void SetTexts() override;
  void OnBrowseFirmware();
  void OnUpgrade();

  std::string upgradeFilePath;  // ANSI code page; taken from the edit by UPGRADE

  QLabel label;
  QLineEdit pathEdit;
  CxSkinButton browseButton;
  CxSkinButton upgradeButton;
};
