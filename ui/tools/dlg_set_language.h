#pragma once
// Settings page "language": the configured languages in a drop-down list.
// Each item carries the row of the language table it stands for, matched by
// file name; an entry without a row carries kNoLanguage and is never applied.

#include <QComboBox>
#include <QLabel>
#include <map>

#include "core/language/language.h"
#include "ui/tools/settings_page.h"

class CDlgSetLanguage : public CSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kNoLanguage = kLanguageCount;  // item data of an entry without a table row

  CDlgSetLanguage();
  ~CDlgSetLanguage() override;

  void SetTexts() override;
  void OnShown() override;

  // The language table row of the selected item, 0 with nothing selected;
  // it becomes languageIndex.
  int SelectedLanguage();

  // The language table row an entry's file name stands for: the first row
  // whose file name, up to its first ".", equals name ignoring case;
  // kNoLanguage when none does.
  static int LanguageRowOf(const QString& name);

  std::map<int, LanguageEntry> languages;  // the main window's list, by position
  int languageIndex = 0;                   // the row the page stands for
  bool filled = false;

  QComboBox languageList;  // 1042
  QLabel languageLabel;    // 1177

 protected:
  void OnInitPage() override;
};
