#include "core/ini/private_profile.h"

#include <climits>
#include <optional>

#include "core/ini/atomic_file.h"
#include "core/ini/ini_file.h"
#include "core/ini/ini_syntax.h"

namespace ini {
namespace {

// Index of the first line of the first section called name, or npos.
constexpr std::size_t npos = static_cast<std::size_t>(-1);

struct SectionSpan {
  std::size_t header = npos;  // the "[name]" line
  std::size_t end = npos;     // one past the section's last line
};

SectionSpan FindSection(const std::vector<IniLine>& lines, const QString& section) {
  SectionSpan span;
  const QString wanted = TrimBlanks(section);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const LineMeaning m = ClassifyLine(lines[i].text);
    if (m.kind != LineKind::Section) continue;
    if (span.header != npos) {
      span.end = i;
      return span;
    }
    if (SameName(m.name, wanted)) span.header = i;
  }
  if (span.header != npos) span.end = lines.size();
  return span;
}

struct KeyHit {
  std::size_t line = npos;
  LineMeaning meaning;
};

KeyHit FindKey(const std::vector<IniLine>& lines, const SectionSpan& span, const QString& key) {
  KeyHit hit;
  if (span.header == npos) return hit;
  const QString wanted = TrimBlanks(key);
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    LineMeaning m = ClassifyLine(lines[i].text);
    if (m.kind == LineKind::Entry && SameName(m.name, wanted)) {
      hit.line = i;
      hit.meaning = std::move(m);
      return hit;
    }
  }
  return hit;
}

std::optional<QString> LookUp(const QString& section, const QString& key, const QString& path) {
  const IniFile file = LoadIniFile(path);
  if (!file.exists) return std::nullopt;
  const std::vector<IniLine> lines = SplitLines(file);
  const KeyHit hit = FindKey(lines, FindSection(lines, section), key);
  if (hit.line == npos) return std::nullopt;
  return hit.meaning.value;
}

QString WithoutTrailingBlanks(QString s) {
  while (!s.isEmpty() && s.back() == u' ') s.chop(1);
  return s;
}

bool HoldsLineBreak(const QString& s) { return s.contains(u'\n') || s.contains(u'\r') || s.contains(QChar(0)); }

}  // namespace

int GetPrivateProfileString(const QString& section, const QString& key, const QString& def, QString& out,
                            int bufferSize, const QString& path) {
  if (bufferSize <= 0) {
    out.clear();
    return 0;
  }
  const std::optional<QString> value = LookUp(section, key, path);
  out = (value ? *value : WithoutTrailingBlanks(def)).left(bufferSize - 1);
  return static_cast<int>(out.size());
}

int GetPrivateProfileSection(const QString& section, QString& out, int bufferSize, const QString& path) {
  out.clear();
  if (bufferSize < 2) return 0;
  const IniFile file = LoadIniFile(path);
  const std::vector<IniLine> lines = SplitLines(file);
  const SectionSpan span = FindSection(lines, section);
  if (span.header != npos) {
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
      const LineKind kind = ClassifyLine(lines[i].text).kind;
      if (kind == LineKind::Blank || kind == LineKind::Comment) continue;
      const QString line = TrimBlanks(lines[i].text);
      // This line, its NUL and the closing NUL must fit.
      if (out.size() + line.size() + 2 > bufferSize) break;
      out += line;
      out += QChar(0);
    }
  }
  const int count = static_cast<int>(out.size());
  out += QChar(0);
  return count;
}

int GetPrivateProfileSection(const QString& section, char16_t* buffer, int bufferSize, const QString& path) {
  if (!buffer || bufferSize <= 0) return 0;
  QString text;
  const int count = GetPrivateProfileSection(section, text, bufferSize, path);
  if (text.isEmpty()) {
    buffer[0] = 0;
    if (bufferSize > 1) buffer[1] = 0;
    return 0;
  }
  std::copy(text.utf16(), text.utf16() + text.size(), buffer);
  if (text.size() < bufferSize) buffer[text.size()] = 0;
  return count;
}

int GetPrivateProfileInt(const QString& section, const QString& key, int def, const QString& path) {
  const std::optional<QString> value = LookUp(section, key, path);
  if (!value) return def;
  const QString v = value->left(1499);
  qsizetype i = 0;
  bool negative = false;
  if (i < v.size() && (v[i] == u'-' || v[i] == u'+')) negative = v[i++] == u'-';
  long long n = 0;
  for (; i < v.size() && v[i] >= u'0' && v[i] <= u'9'; ++i) {
    n = n * 10 + (v[i].unicode() - u'0');
    if (n > static_cast<long long>(INT_MAX) + 1) n = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) return static_cast<int>(-n);
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& path) {
  if (HoldsLineBreak(section) || HoldsLineBreak(key) || HoldsLineBreak(value)) return false;
  if (section.contains(u']') || key.contains(u'=')) return false;
  if (TrimBlanks(section).isEmpty() || TrimBlanks(key).isEmpty()) return false;

  IniFile file = LoadIniFile(path);
  const std::vector<IniLine> lines = SplitLines(file);
  const QString br = LineBreakOf(file, lines);
  const Encoding enc = file.encoding;
  const qsizetype unit = UnitSize(enc);
  const SectionSpan span = FindSection(lines, section);
  const KeyHit hit = FindKey(lines, span, key);
  QByteArray& bytes = file.bytes;

  if (hit.line != npos) {
    // Keep the key and the blanks after "=" exactly; replace the rest of the line.
    const IniLine& line = lines[hit.line];
    qsizetype pos = line.begin;
    while (pos < line.end && UnitAt(file, pos) != u'=') pos += unit;
    pos += unit;
    while (pos < line.end && (UnitAt(file, pos) == u' ' || UnitAt(file, pos) == u'\t')) pos += unit;
    bytes.replace(pos, line.end - pos, EncodeText(enc, value));
  } else if (span.header != npos) {
    // After the section's last non-blank line, so blank lines separating it
    // from the next section stay where they are.
    std::size_t last = span.header;
    for (std::size_t i = span.header + 1; i < span.end; ++i)
      if (ClassifyLine(lines[i].text).kind != LineKind::Blank) last = i;
    const IniLine& after = lines[last];
    QString insert = key + u'=' + value + br;
    if (!EndsWithBreak(file, after)) insert.prepend(br);  // that line ends the file without a break
    bytes.insert(after.next, EncodeText(enc, insert));
  } else {
    QString append = u'[' + section + u']' + br + key + u'=' + value + br;
    if (!lines.empty() && !EndsWithBreak(file, lines.back())) append.prepend(br);
    bytes.insert(TextEnd(file), EncodeText(enc, append));
  }
  return WriteFileAtomically(path, bytes);
}

}  // namespace ini
