#include "core/ini/ini_file.h"

#include <QFile>

#include "core/files/regular_file.h"

namespace ini {

IniFile ParseIniBytes(std::string bytes) {
  IniFile file;
  file.state = FileState::kLoaded;
  if (bytes.starts_with("\xFF\xFE")) {
    file.encoding = Encoding::Utf16LeBom;
  } else if (bytes.starts_with("\xEF\xBB\xBF")) {
    file.encoding = Encoding::Utf8Bom;
  }
  file.bytes = std::move(bytes);
  return file;
}

IniFile LoadIniFile(const QString& path) {
  std::string bytes;
  switch (files::ReadRegularFile(QFile::encodeName(path).toStdString(), bytes)) {
    case files::ReadStatus::kRead:
      return ParseIniBytes(std::move(bytes));
    case files::ReadStatus::kMissing:
      return {};
    case files::ReadStatus::kNotRegular:
    case files::ReadStatus::kUnreadable:
    case files::ReadStatus::kTooLarge:
      break;
  }
  IniFile unreadable;
  unreadable.state = FileState::kUnreadable;
  return unreadable;
}

qsizetype BomSize(Encoding encoding) {
  switch (encoding) {
    case Encoding::Utf8Bom: return 3;
    case Encoding::Utf16LeBom: return 2;
    case Encoding::Utf8: break;
  }
  return 0;
}

qsizetype UnitSize(Encoding encoding) { return encoding == Encoding::Utf16LeBom ? 2 : 1; }

qsizetype TextEnd(const IniFile& file) {
  const qsizetype size = static_cast<qsizetype>(file.bytes.size());
  const qsizetype bom = BomSize(file.encoding);
  if (size <= bom) return size;
  return size - (size - bom) % UnitSize(file.encoding);
}

std::string EncodeText(Encoding encoding, const QString& text) {
  if (encoding != Encoding::Utf16LeBom) return text.toStdString();
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()) * 2);
  for (QChar c : text) {
    out.push_back(static_cast<char>(c.unicode() & 0xFF));
    out.push_back(static_cast<char>(c.unicode() >> 8));
  }
  return out;
}

}  // namespace ini
