#pragma once
// The private-profile reads written the plain way, for the fuzz target to
// hold the real ones against: the file decoded line by line, each line
// classified, the first section and the first key of a name taken. Slow
// (every line decoded) and obviously right; the real reads find the same
// values without decoding what they do not return.

#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <optional>
#include <string>

namespace reference {

inline bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

inline QString Trim(const QString& s) {
  qsizetype b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.mid(b, e - b);
}

inline bool SameName(const QString& a, const QString& b) { return Trim(a).compare(Trim(b), Qt::CaseInsensitive) == 0; }

// The file's lines without their "\n" and one "\r" before it.
inline QStringList Lines(const std::string& bytes) {
  QString text;
  if (bytes.starts_with("\xFF\xFE")) {
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
      text += QChar(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  } else {
    const std::size_t bom = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    // Line by line, so that an undecodable byte never swallows a line break;
    // a byte-order mark after the file's first is a character like any other.
    QStringDecoder utf8(QStringConverter::Utf8,
                        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    std::size_t pos = bom;
    while (pos < bytes.size()) {
      std::size_t lf = bytes.find('\n', pos);
      const bool last = lf == std::string::npos;
      if (last) lf = bytes.size();
      text += utf8.decode(QByteArrayView(bytes.data() + pos, static_cast<qsizetype>(lf - pos)));
      if (!last) text += u'\n';
      pos = lf + 1;
    }
  }
  QStringList lines;
  qsizetype pos = 0;
  while (pos < text.size()) {
    qsizetype lf = text.indexOf(u'\n', pos);
    if (lf < 0) lf = text.size();
    QString line = text.mid(pos, lf - pos);
    if (line.endsWith(u'\r')) line.chop(1);
    lines << line;
    pos = lf + 1;
  }
  return lines;
}

inline std::optional<QString> HeaderName(const QString& line) {
  const QString t = Trim(line);
  if (!t.startsWith(u'[')) return std::nullopt;
  const qsizetype close = t.indexOf(u']');
  return Trim(close < 0 ? t.mid(1) : t.mid(1, close - 1));
}

// The lines of the first section called section (without its header).
inline std::optional<QStringList> SectionLines(const QStringList& lines, const QString& section) {
  std::optional<QStringList> found;
  for (const QString& line : lines) {
    if (const auto name = HeaderName(line)) {
      if (found) return found;
      if (SameName(*name, section)) found = QStringList();
    } else if (found) {
      found->append(line);
    }
  }
  return found;
}

inline std::optional<QString> Value(const QStringList& lines, const QString& section, const QString& key) {
  const auto body = SectionLines(lines, section);
  if (!body) return std::nullopt;
  for (const QString& line : *body) {
    if (Trim(line).startsWith(u';')) continue;
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0 || !SameName(line.left(eq), key)) continue;
    QString v = Trim(line.mid(eq + 1));
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front()) v = v.mid(1, v.size() - 2);
    return v;
  }
  return std::nullopt;
}

// As GetPrivateProfileSection: the section's filled lines that are no
// comments, trimmed, each with its NUL, whole lines only, and a closing NUL.
inline QString Section(const QStringList& lines, const QString& section, int bufferSize) {
  QString out;
  if (bufferSize < 2) return out;
  if (const auto body = SectionLines(lines, section)) {
    for (const QString& line : *body) {
      const QString t = Trim(line);
      if (t.isEmpty() || t.startsWith(u';')) continue;
      if (out.size() + t.size() + 2 > bufferSize) break;
      out += t + QChar(0);
    }
  }
  return out + QChar(0);
}

}  // namespace reference
