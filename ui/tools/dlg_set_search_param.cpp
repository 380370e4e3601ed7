#include "ui/tools/dlg_set_search_param.h"

#include "core/language/language.h"
#include "core/util/number_text.h"

CDlgSetSearchParam::CDlgSetSearchParam()
    : periodicBox(this), periodicLabel(this), periodList(this), periodLabel(this), unitLabel(this) {
  periodicBox.setObjectName("1186");
  periodicLabel.setObjectName("1187");
  periodList.setObjectName("1099");
  periodLabel.setObjectName("1188");
  unitLabel.setObjectName("1191");
  connect(&periodicBox, &QCheckBox::clicked, this, [this] { ApplyEnablingRule(); });
}

CDlgSetSearchParam::~CDlgSetSearchParam() = default;

void CDlgSetSearchParam::OnInitPage() {
  periodicBox.setGeometry(40, 40, 20, 20);
  periodicLabel.setGeometry(64, 40, 330, 20);
  periodLabel.setGeometry(40, 82, 140, 20);
  periodLabel.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  periodList.setGeometry(190, 80, 100, 24);
  unitLabel.setGeometry(298, 82, 120, 20);
  SetTexts();
}

void CDlgSetSearchParam::SetTexts() {
  periodicLabel.setText(Text(QStringLiteral("tx.Period_Search")));
  periodLabel.setText(Text(QStringLiteral("tx.Period")));
  unitLabel.setText(Text(QStringLiteral("tx.Minute")));
}

void CDlgSetSearchParam::OnShown() {
  if (!periods.empty()) {
    periodicBox.setChecked(enabled != 0);
    periodList.clear();
    for (int period : periods) periodList.addItem(QString::asprintf("%d", period));
    // A stored period that is no longer offered would read as 0 minutes, a
    // search without pause: the first offered period stands in for it.
    const int match = periodList.findText(QString::asprintf("%d", minutes));
    periodList.setCurrentIndex(match < 0 ? 0 : match);
  } else {
    periodicLabel.setEnabled(false);
    periodicBox.setEnabled(false);
    periodicBox.setChecked(false);
    periodList.clear();
  }
  ApplyEnablingRule();
}

void CDlgSetSearchParam::ApplyEnablingRule() {
  const bool on = periodicBox.isChecked();
  periodList.setEnabled(on);
  periodLabel.setEnabled(on);
  unitLabel.setEnabled(on);
}

void CDlgSetSearchParam::ReadControls() {
  enabled = periodicBox.isChecked() ? 1 : 0;
  minutes = 0;
  if (periodList.currentIndex() >= 0) CStringToInt(periodList.currentText(), &minutes, 10);
}
