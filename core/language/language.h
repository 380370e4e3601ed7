#pragma once
// Language texts. Every user-visible text is a key looked up at the moment of
// use: GetThreadLanguage()->GetText("tx.OK"). One CLanguage per thread; all
// share one dictionary, replaced as a whole by each load.

#include <QString>
#include <array>
#include <cstddef>

struct LanguageEntry {
  int id = 0;
  QString code;
  QString displayName;
  QString fileName;
};

inline constexpr int kLanguageCount = 26;
extern const std::array<LanguageEntry, kLanguageCount> LanguageTable;

// The read buffer of one load: the whole section "String" in one read.
inline constexpr int kLanguageReadBufferChars = 1048576;  // 2 MiB of UTF-16

class CLanguage {
 public:
  // Loads the section "String" of the file at path; the same path again is
  // skipped unless force. False only when no read buffer could be had (the
  // dictionary then keeps the previous texts, the path is still recorded).
  bool LoadFile(const QString& path, int force);
  // The text of key; a missing key or an empty text gives the key itself.
  QString GetText(const QString& key) const;
  // The path of the file this object loaded last (empty at creation).
  const QString& CurrentPath() const { return path_; }

 private:
  QString path_;
};

// The calling thread's language object, created on its first request and
// kept until the process ends. Null only when it could not be allocated.
CLanguage* GetThreadLanguage();

// Loads the language of LanguageTable row index from
// "<programFolder>Config File/Lang/", falling back to "eng.lang" when the
// row's file is missing or is no regular file (a FIFO, a device). An index
// outside the table changes nothing.
void SwitchLanguage(int index, const QString& programFolder);

// Shorthand for GetThreadLanguage()->GetText(key).
inline QString Text(const QString& key) {
  CLanguage* language = GetThreadLanguage();
  return language ? language->GetText(key) : key;
}

namespace language_testing {
// Replaces the allocation of the 2 MiB read buffer (nullptr restores the
// real one), so a test can make it fail. What it returns is released with
// std::free.
using BufferAllocator = char16_t* (*)(std::size_t chars);
void SetReadBufferAllocator(BufferAllocator allocator);
// How many times a load actually read a file.
int FileReadCount();
}  // namespace language_testing
