#include "core/ini/ini_file.h"

#include <QFile>

namespace ini {

IniFile ParseIniBytes(const QByteArray& bytes) {
  IniFile file;
  file.exists = true;
  file.bytes = bytes;
  if (bytes.startsWith("\xFF\xFE")) {
    file.encoding = Encoding::Utf16LeBom;
  } else if (bytes.startsWith("\xEF\xBB\xBF")) {
    file.encoding = Encoding::Utf8Bom;
  }
  return file;
}

IniFile LoadIniFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return ParseIniBytes(f.readAll());
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

char16_t UnitAt(const IniFile& file, qsizetype pos) {
  const auto* p = reinterpret_cast<const unsigned char*>(file.bytes.constData()) + pos;
  if (file.encoding == Encoding::Utf16LeBom) return static_cast<char16_t>(p[0] | (p[1] << 8));
  return p[0];
}

namespace {

QString Decode(const IniFile& file, qsizetype begin, qsizetype end) {
  if (end <= begin) return {};
  const char* data = file.bytes.constData() + begin;
  const qsizetype n = end - begin;
  if (file.encoding == Encoding::Utf16LeBom) {
    // Copy unit by unit: lone surrogates survive, as they would in the
    // platform's wide read.
    QString s(n / 2, Qt::Uninitialized);
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    for (qsizetype i = 0; i < n / 2; ++i) s[i] = QChar(static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8)));
    return s;
  }
  return QString::fromUtf8(data, n);
}

}  // namespace

std::vector<IniLine> SplitLines(const IniFile& file) {
  std::vector<IniLine> lines;
  const qsizetype unit = UnitSize(file.encoding);
  const qsizetype size = TextEnd(file);
  qsizetype pos = BomSize(file.encoding);
  if (pos > file.bytes.size()) return lines;
  while (pos < size) {
    IniLine line;
    line.begin = pos;
    qsizetype p = pos;
    while (p < size && UnitAt(file, p) != u'\n') p += unit;
    line.next = p < size ? p + unit : p;
    line.end = p;
    if (line.end > line.begin && UnitAt(file, line.end - unit) == u'\r') line.end -= unit;
    line.text = Decode(file, line.begin, line.end);
    pos = line.next;
    lines.push_back(std::move(line));
  }
  return lines;
}

qsizetype TextEnd(const IniFile& file) {
  const qsizetype bom = BomSize(file.encoding);
  if (file.bytes.size() <= bom) return file.bytes.size();
  return file.bytes.size() - (file.bytes.size() - bom) % UnitSize(file.encoding);
}

bool EndsWithBreak(const IniFile& file, const IniLine& line) {
  const qsizetype unit = UnitSize(file.encoding);
  return line.next - unit >= line.begin && UnitAt(file, line.next - unit) == u'\n';
}

QByteArray EncodeText(Encoding encoding, const QString& text) {
  if (encoding != Encoding::Utf16LeBom) return text.toUtf8();
  QByteArray out;
  out.reserve(text.size() * 2);
  for (QChar c : text) {
    out.append(static_cast<char>(c.unicode() & 0xFF));
    out.append(static_cast<char>(c.unicode() >> 8));
  }
  return out;
}

QString LineBreakOf(const IniFile& file, const std::vector<IniLine>& lines) {
  for (const IniLine& line : lines) {
    if (!EndsWithBreak(file, line)) break;  // the last line, without a break
    return line.next - line.end == 2 * UnitSize(file.encoding) ? QStringLiteral("\r\n") : QStringLiteral("\n");
  }
  return QStringLiteral("\n");
}

}  // namespace ini
