#include "ui/tools/dlg_set_language.h"

CDlgSetLanguage::CDlgSetLanguage() : languageList(this), languageLabel(this) {
  languageList.setObjectName("1042");
  languageLabel.setObjectName("1177");
}

CDlgSetLanguage::~CDlgSetLanguage() = default;

void CDlgSetLanguage::OnInitPage() {
  languageLabel.setGeometry(40, 42, 140, 20);
  languageLabel.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  languageList.setGeometry(190, 40, 200, 24);
  languageList.setMaxVisibleItems(12);
  SetTexts();
}

void CDlgSetLanguage::SetTexts() { languageLabel.setText(Text(QStringLiteral("tx.SwitchLang"))); }

int CDlgSetLanguage::LanguageRowOf(const QString& name) {
  for (const LanguageEntry& row : LanguageTable) {
    const QString stem = row.fileName.section(QLatin1Char('.'), 0, 0);
    if (stem.compare(name, Qt::CaseInsensitive) == 0) return row.id;
  }
  return kNoLanguage;
}

void CDlgSetLanguage::OnShown() {
  if (!filled) {
    filled = true;
    for (const auto& [position, entry] : languages) languageList.addItem(entry.displayName, LanguageRowOf(entry.fileName));
  }
  languageList.setCurrentIndex(languageList.findData(languageIndex));  // -1 clears the selection
}

int CDlgSetLanguage::SelectedLanguage() {
  const int item = languageList.currentIndex();
  languageIndex = item < 0 ? 0 : languageList.itemData(item).toInt();
  return languageIndex;
}
