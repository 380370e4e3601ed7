#include "ui/tools/dlg_set_about.h"

#include "core/language/language.h"

CDlgSetAbout::CDlgSetAbout()
    : nameText(this), versionLabel(this), versionValue(this), releaseLabel(this), releaseValue(this) {
  nameText.setObjectName("1248");
  versionLabel.setObjectName("1244");
  versionValue.setObjectName("1246");
  releaseLabel.setObjectName("1245");
  releaseValue.setObjectName("1247");
}

CDlgSetAbout::~CDlgSetAbout() = default;

void CDlgSetAbout::OnInitPage() {
  SetTexts();
  nameText.setAlignment(Qt::AlignCenter);
  nameText.setGeometry(50, 80, width() - 100, 20);
  versionLabel.setGeometry(50, 120, 100, 20);
  versionValue.setGeometry(150, 120, 200, 20);
  releaseLabel.setGeometry(50, 150, 100, 20);
  releaseValue.setGeometry(150, 150, 200, 20);
}

void CDlgSetAbout::SetTexts() {
  versionLabel.setText(Text(QStringLiteral("ck.Version")) + QLatin1Char(':'));
  releaseLabel.setText(Text(QStringLiteral("ck.Release_time")) + QLatin1Char(':'));
}

void CDlgSetAbout::OnShown() {
  if (!firstShow) return;
  firstShow = false;
  nameText.setText(appName);
  versionValue.setText(versionText);
  releaseValue.setText(releaseText);
}
