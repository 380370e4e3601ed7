#pragma once
// Language texts. Every user-visible text is a key looked up at the moment of
// use: GetThreadLanguage()->GetText("tx.OK"). One CLanguage per thread; all
// share one dictionary, replaced as a whole by each load.

#include <QString>
#include <array>

struct LanguageEntry {
  int id = 0;
  QString code;
  QString displayName;
  QString fileName;
};

inline constexpr int kLanguageCount = 26;
extern const std::array<LanguageEntry, kLanguageCount> LanguageTable;

class CLanguage {
 public:
  // Loads the section "String" of the file at path; the same path again is
  // skipped unless force. False only when no read buffer could be had.
  bool LoadFile(const QString& path, int force);
  // The text of key; a missing key or an empty text gives the key itself.
  QString GetText(const QString& key) const;

 private:
  QString path_;
};

// The calling thread's language object, created on its first request.
CLanguage* GetThreadLanguage();

// Loads the language of LanguageTable row index from
// "<programFolder>Config File/Lang/", falling back to "eng.lang".
void SwitchLanguage(int index, const QString& programFolder);

// Shorthand for GetThreadLanguage()->GetText(key).
inline QString Text(const QString& key) { return GetThreadLanguage()->GetText(key); }
