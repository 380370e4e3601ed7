// The configuration sub-page: import and restore defaults.
#include "ui/operations/dlg_configuration.h"

#include "core/language/language.h"
#include "core/util/text_conversion.h"
#include "ui/operations/dlg_operate.h"

CDlgConfiguration::CDlgConfiguration()
    : CBatchSubPage(true),
      label(this),
      pathEdit(this),
      browseButton(this),
      importButton(this),
      separator(this),
      defaultsButton(this) {
  const std::pair<QWidget*, int> ids[] = {{&label, kIdLabel},         {&pathEdit, kIdPath},
                                          {&browseButton, kIdBrowse}, {&importButton, kIdImport},
                                          {&separator, kIdSeparator}, {&defaultsButton, kIdDefaults}};
  for (const auto& [widget, id] : ids) widget->setObjectName(QString::number(id));
  SetUpPathEdit(pathEdit);
  separator.setFrameShape(QFrame::Box);
  separator.setLineWidth(1);
  separator.setStyleSheet(QStringLiteral("color: black;"));
  connect(&browseButton, &QPushButton::clicked, this, &CDlgConfiguration::OnBrowseConfigFile);
  connect(&importButton, &QPushButton::clicked, this, &CDlgConfiguration::OnUpdateConfig);
  connect(&defaultsButton, &QPushButton::clicked, this, &CDlgConfiguration::OnDefaultSetting);
}

void CDlgConfiguration::LayoutControls() {
  LayoutFileRow(label, pathEdit, browseButton);
  importButton.setGeometry(10, 58, 110, 28);
  separator.setGeometry(0, 106, width() - 30, 1);
  defaultsButton.setGeometry(10, 127, 110, 28);
}

void CDlgConfiguration::SetTexts() {
  SetLabelText(label, Text(QStringLiteral("tx.Config_file")));
  SetBrowseCaption(browseButton);
  SetButtonText(importButton, Text(QStringLiteral("tx.ImportConfig")));
  SetButtonText(defaultsButton, Text(QStringLiteral("tx.DefaultSetting")));
}

void CDlgConfiguration::OnBrowseConfigFile() {
  const QString chosen = BrowseForFile(QStringLiteral("coi Files (*.coi)|*.coi||"), pathEdit.text());
  if (chosen.isEmpty()) return;
  pathEdit.setText(chosen);
  CStringToAnsi(pathEdit.text(), configFilePath);
}

void CDlgConfiguration::OnUpdateConfig() {
  CStringToAnsi(pathEdit.text(), configFilePath);
  if (configFilePath.empty()) {
    ShowBox("info.select_updata_config_file", kWarning);
    return;
  }
  if (RefuseWhileBusy()) return;
  if (ShowBox("msg.Ensure_updata_config", kQuestion) != 1) return;
  SendToPage(pm::WM_BATCH_CONFIG_IMPORT, reinterpret_cast<pm::WPARAM>(&configFilePath));
}

void CDlgConfiguration::OnDefaultSetting() {
  CDlgOperate* page = ParentPage();
  if (!HasCheckedTreeItem(page ? &page->deviceTree : nullptr, page ? &page->selectedCount : nullptr)) {
    ShowBox("msg.Sel_dev_first", kNotice);
    return;
  }
  if (RefuseWhileBusy()) return;
  if (ShowBox("msg.Ensure_default_setting", kQuestion) != 1) return;
  SendToPage(pm::WM_BATCH_DEFAULTS);
}
