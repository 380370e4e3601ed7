// The reboot sub-page.
#include "ui/operations/dlg_reboot.h"

#include "core/language/language.h"

CDlgReboot::CDlgReboot() : CBatchSubPage(false), rebootButton(this) {
  rebootButton.setObjectName(QString::number(kIdReboot));
  connect(&rebootButton, &QPushButton::clicked, this, &CDlgReboot::OnReboot);
}

void CDlgReboot::LayoutControls() { rebootButton.setGeometry(10, 10, 110, 28); }

void CDlgReboot::SetTexts() { SetButtonText(rebootButton, Text(QStringLiteral("tx.RebootDev"))); }

void CDlgReboot::OnReboot() {
  if (RefuseWhileBusy()) return;
  if (ShowBox("msg.Ensure_reboot", kQuestion) != 1) return;
  SendToPage(pm::WM_BATCH_REBOOT);
}
