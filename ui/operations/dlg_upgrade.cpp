// The upgrade sub-page.
#include "ui/operations/dlg_upgrade.h"

#include "core/language/language.h"
#include "core/util/text_conversion.h"

CDlgUpgrade::CDlgUpgrade()
    : CBatchSubPage(true), label(this), pathEdit(this), browseButton(this), upgradeButton(this) {
  const std::pair<QWidget*, int> ids[] = {
      {&label, kIdLabel}, {&pathEdit, kIdPath}, {&browseButton, kIdBrowse}, {&upgradeButton, kIdUpgrade}};
  for (const auto& [widget, id] : ids) widget->setObjectName(QString::number(id));
  SetUpPathEdit(pathEdit);
  connect(&browseButton, &QPushButton::clicked, this, &CDlgUpgrade::OnBrowseFirmware);
  connect(&upgradeButton, &QPushButton::clicked, this, &CDlgUpgrade::OnUpgrade);
}

void CDlgUpgrade::LayoutControls() {
  LayoutFileRow(label, pathEdit, browseButton);
  upgradeButton.setGeometry(10, 58, 110, 28);
}

void CDlgUpgrade::SetTexts() {
  SetLabelText(label, Text(QStringLiteral("tx.Upgrade_file")));
  SetBrowseCaption(browseButton);
  SetButtonText(upgradeButton, Text(QStringLiteral("tx.Upgrade")));
}

void CDlgUpgrade::OnBrowseFirmware() {
  const QString extension = QStringLiteral("upf");
  const QString filter = extension + QStringLiteral(" Files (*.") + extension + QStringLiteral(")|*.") + extension +
                         QStringLiteral("|") + QStringLiteral("bin Files (*.bin)|*.bin|All Files (*.*)|*.*|");
  const QString chosen = BrowseForFile(filter, pathEdit.text());
  if (!chosen.isEmpty()) pathEdit.setText(chosen);
}

void CDlgUpgrade::OnUpgrade() {
  CStringToAnsi(pathEdit.text(), upgradeFilePath);
  if (upgradeFilePath.empty()) {
    ShowBox("info.select_upgrade_file", kNotice);
    return;
  }
  if (RefuseWhileBusy()) return;
  if (ShowBox("msg.Ensure_upgrade", kQuestion) != 1) return;
  SendToPage(pm::WM_BATCH_UPGRADE);
}
