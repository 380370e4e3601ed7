// Interim body: the table and the per-thread objects; the file loading
// comes with the INI layer.
#include "core/language/language.h"

#include <QFileInfo>
#include <map>
#include <mutex>
#include <thread>

namespace {
std::mutex g_languageLock;
std::map<QString, QString> g_languageStrings;
std::map<std::thread::id, CLanguage*> g_threadLanguages;
}  // namespace

const std::array<LanguageEntry, kLanguageCount> LanguageTable = {{
    {0, "En", "English", "eng.lang"},
    {1, "Chs", "简体中文", "chs.lang"},
    {2, "Cht", "繁体中文", "Cht.lang"},
    {3, "It", "Italiano", "It.lang"},
    {4, "Sp", "Español", "Sp.lang"},
    {5, "Jp", "日本語", "Jp.lang"},
    {6, "Ru", "Русский", "Ru.lang"},
    {7, "Fr", "Français", "Fr.lang"},
    {8, "Ge", "Deutsch", "Ge.lang"},
    {9, "Por", "Portugal", "Por.lang"},
    {10, "Tu", "Türkçe", "Tr.lang"},
    {11, "Pol", "Polski", "Pol.lang"},
    {12, "Ro", "România", "Ro.lang"},
    {13, "Hu", "Magyar", "Hu.lang"},
    {14, "Fi", "Suomi", "Fi.lang"},
    {15, "Es", "Eesti", "Es.lang"},
    {16, "Ko", "한국어", "Ko.lang"},
    {17, "Fa", "فارسی", "fa.lang"},
    {18, "Da", "Dansk", "Da.lang"},
    {19, "Bu", "България", "Bu.lang"},
    {20, "Ar", "في اللغة العربية", "Ar.lang"},
    {21, "Cs", "Čeština", "Cs.lang"},
    {22, "Sk", "slovaščina", "Sk.lang"},
    {23, "Hbr", "עברית", "Hbr.lang"},
    {24, "el", "Ελληνικά", "el.lang"},
    {25, "Thai", "ไทย", "Thai.lang"},
}};

bool CLanguage::LoadFile(const QString& path, int force) {
  if (!force && path == path_) return true;
  path_ = path;
  return true;
}

QString CLanguage::GetText(const QString& key) const {
  std::lock_guard lock(g_languageLock);
  auto it = g_languageStrings.find(key);
  if (it == g_languageStrings.end() || it->second.isEmpty()) return key;
  return it->second;
}

CLanguage* GetThreadLanguage() {
  std::lock_guard lock(g_languageLock);
  auto& slot = g_threadLanguages[std::this_thread::get_id()];
  if (!slot) slot = new CLanguage();  // lives until the process ends
  return slot;
}

void SwitchLanguage(int index, const QString& programFolder) {
  if (index < 0 || index >= kLanguageCount) return;
  const QString folder = programFolder + "Config File/" + "Lang/";
  QString path = folder + LanguageTable[static_cast<std::size_t>(index)].fileName;
  if (!QFileInfo::exists(path)) path = folder + LanguageTable[0].fileName;
  GetThreadLanguage()->LoadFile(path, 0);
}
