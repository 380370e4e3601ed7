#include "core/util/text_conversion.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

// Cuts a UTF-8 text to at most limit bytes without splitting a character.
void CutUtf8(std::string& text, std::size_t limit) {
  if (text.size() <= limit) return;
  std::size_t n = limit;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  text.resize(n);
}

}  // namespace

bool CStringToAnsi(const QString& wide, std::string& narrow) {
  narrow = wide.toStdString();
  return true;
}

bool CStringToUtf8(const QString& wide, std::string& narrow) {
  narrow = wide.toStdString();
  return true;
}

bool CStringToMultiByte(QString& wide, std::string& narrow, unsigned /*codePage: both are UTF-8 here*/) {
  const qsizetype nul = wide.indexOf(QChar(0));
  if (nul >= 0) wide.truncate(nul);
  narrow = wide.toStdString();
  return true;
}

bool Utf8ToCString(QString& wide, const std::string& narrow) {
  wide = QString::fromUtf8(narrow.c_str(), static_cast<qsizetype>(std::strlen(narrow.c_str())));
  return true;
}

bool CStringToAnsiBounded(const QString& wide, std::string& narrow) {
  std::unique_ptr<char16_t[]> wideBuffer(new (std::nothrow) char16_t[kBoundedWideChars]());
  std::unique_ptr<char[]> narrowBuffer(new (std::nothrow) char[kBoundedNarrowBytes]());
  if (!wideBuffer || !narrowBuffer) return false;
  qsizetype n = std::min<qsizetype>(wide.size(), kBoundedWideChars - 1);
  if (n > 0 && n < wide.size() && wide[n - 1].isHighSurrogate()) --n;  // keep pairs whole
  std::memcpy(wideBuffer.get(), wide.utf16(), static_cast<std::size_t>(n) * sizeof(char16_t));
  std::string converted = QString::fromUtf16(wideBuffer.get(), n).toStdString();
  CutUtf8(converted, kBoundedNarrowBytes - 1);
  std::memcpy(narrowBuffer.get(), converted.data(), converted.size());
  narrow.assign(narrowBuffer.get(), converted.size());
  return true;
}

qsizetype NarrowPrefixWithin(const QString& wide, std::size_t maxBytes) {
  // What the conversion writes for a surrogate without its partner.
  static const std::size_t kLoneSurrogateBytes = QString(QChar(0xD800)).toStdString().size();
  const qsizetype size = wide.size();
  std::size_t bytes = 0;
  qsizetype at = 0;
  while (at < size) {
    const char16_t c = wide[at].unicode();
    qsizetype units = 1;
    std::size_t need = c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
    if (QChar::isHighSurrogate(c) && at + 1 < size && wide[at + 1].isLowSurrogate()) {
      units = 2;
      need = 4;
    } else if (QChar::isSurrogate(c)) {
      need = kLoneSurrogateBytes;
    }
    if (need > maxBytes - bytes) break;
    bytes += need;
    at += units;
  }
  return at;
}
