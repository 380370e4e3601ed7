#include "core/language/language.h"

#include <QFileInfo>
#include <QtGlobal>
#include <atomic>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <shared_mutex>
#include <thread>

#include "core/ini/private_profile.h"

namespace {

// The shared state lives until the process ends and is never destroyed, so
// a worker still asking for a text while the process exits finds it intact.
struct LanguageState {
  // LanguageLock: readers are text lookups on any thread, the writers are
  // the creation of a thread's object and the replacement of the dictionary.
  std::shared_mutex LanguageLock;
  std::map<QString, QString> LanguageStrings;  // QString's operator< is ordinal, case-sensitive
  std::map<std::thread::id, CLanguage*> ThreadLanguageMap;
};

LanguageState& State() {
  static LanguageState* const state = new LanguageState();
  return *state;
}

std::atomic<language_testing::BufferAllocator> g_allocator{nullptr};
std::atomic<int> g_fileReads{0};

// The read buffer, zero-filled. calloc takes fresh pages, which come zeroed,
// where new[]() would write 2 MiB of zeros on every load (seconds over a
// test's reloads under the sanitizers, which watch every byte written).
struct FreeBuffer {
  void operator()(char16_t* p) const { std::free(p); }
};
using ReadBuffer = std::unique_ptr<char16_t[], FreeBuffer>;

ReadBuffer AllocateReadBuffer(std::size_t chars) {
  if (auto allocator = g_allocator.load()) return ReadBuffer(allocator(chars));
  return ReadBuffer(static_cast<char16_t*>(std::calloc(chars, sizeof(char16_t))));
}

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

  const ReadBuffer buffer = AllocateReadBuffer(kLanguageReadBufferChars);
  if (!buffer) return false;
  ++g_fileReads;
  const int count = ini::GetPrivateProfileSection("String", buffer.get(), kLanguageReadBufferChars, path);

  // Build the new dictionary outside the lock, so lookups on other threads
  // wait only for the swap.
  std::map<QString, QString> strings;
  const char16_t* p = buffer.get();
  const char16_t* const stop = p + count;
  while (p < stop && *p) {
    const char16_t* lineEnd = p;
    while (lineEnd < stop && *lineEnd) ++lineEnd;
    const char16_t* eq = p;
    while (eq < lineEnd && *eq != u'=') ++eq;
    if (eq < lineEnd) {
      strings.emplace(QString::fromUtf16(p, eq - p), QString::fromUtf16(eq + 1, lineEnd - eq - 1));  // first wins
    }
    p = lineEnd + 1;
  }

  auto& state = State();
  std::unique_lock lock(state.LanguageLock);
  state.LanguageStrings.swap(strings);
  lock.unlock();
  return true;  // the old dictionary is freed here, outside the lock
}

QString CLanguage::GetText(const QString& key) const {
  auto& state = State();
  std::shared_lock lock(state.LanguageLock);
  auto it = state.LanguageStrings.find(key);
  if (it == state.LanguageStrings.end() || it->second.isEmpty()) return key;
  return it->second;
}

CLanguage* GetThreadLanguage() {
  const std::thread::id id = std::this_thread::get_id();
  auto& state = State();
  {
    std::shared_lock lock(state.LanguageLock);
    auto it = state.ThreadLanguageMap.find(id);
    if (it != state.ThreadLanguageMap.end()) return it->second;
  }
  std::unique_lock lock(state.LanguageLock);
  auto it = state.ThreadLanguageMap.find(id);
  if (it != state.ThreadLanguageMap.end()) return it->second;
  auto* language = new (std::nothrow) CLanguage();  // lives until the process ends
  if (!language) {
    // core has no windows: the text of the platform's message box goes to the log.
    qCritical("error: new CLanguage() error!");
    return nullptr;
  }
  state.ThreadLanguageMap.emplace(id, language);
  return language;
}

void SwitchLanguage(int index, const QString& programFolder) {
  if (index < 0 || index >= kLanguageCount) return;
  const QString folder = programFolder + "Config File/" + "Lang/";
  QString path = folder + LanguageTable[static_cast<std::size_t>(index)].fileName;
  // Only a regular file counts as there: a FIFO, a device or a folder at the
  // name would hold the load up or give nothing, so English stands in as it
  // does for a missing file.
  if (!QFileInfo(path).isFile()) path = folder + LanguageTable[0].fileName;
  if (CLanguage* language = GetThreadLanguage()) language->LoadFile(path, 0);
}

namespace language_testing {
void SetReadBufferAllocator(BufferAllocator allocator) { g_allocator = allocator; }
int FileReadCount() { return g_fileReads.load(); }
}  // namespace language_testing
