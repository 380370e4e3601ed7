#pragma once
// The configuration sub-page: a configuration file to import into the checked
// devices, and restore defaults.

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <string>

#include "ui/operations/batch_sub_page.h"

class CDlgConfiguration : public CBatchSubPage {
  Q_OBJECT
 public:
  enum ControlId {
    kIdLabel = 1176,
    kIdPath = 1164,
    kIdBrowse = 1172,
    kIdImport = 1175,
    kIdSeparator = 1114,
    kIdDefaults = 1037
  };
  static constexpr int kTemplate = 157;

  CDlgConfiguration();

  void LayoutControls() override;
  void SetTexts() override;
  void OnBrowseConfigFile();
  void OnUpdateConfig();
  void OnDefaultSetting();

  std::string configFilePath;  // ANSI code page; WM_BATCH_CONFIG_IMPORT carries its address

  QLabel label;
  QLineEdit pathEdit;
  CxSkinButton browseButton;
  CxSkinButton importButton;
  QFrame separator;
  CxSkinButton defaultsButton;
};
