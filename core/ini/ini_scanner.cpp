#include "core/ini/ini_scanner.h"

#include <QStringDecoder>
#include <algorithm>
#include <cstring>

namespace ini {

TextView::TextView(const IniFile& file)
    : data_(file.bytes.data()),
      begin_(std::min(BomSize(file.encoding), static_cast<qsizetype>(file.bytes.size()))),
      end_(TextEnd(file)),
      unit_(UnitSize(file.encoding)) {}

char16_t TextView::At(qsizetype pos) const {
  const auto* p = reinterpret_cast<const unsigned char*>(data_) + pos;
  if (unit_ == 2) return static_cast<char16_t>(p[0] | (p[1] << 8));
  return p[0];
}

qsizetype TextView::Find(qsizetype from, qsizetype to, char c) const {
  while (from < to) {
    const void* hit = std::memchr(data_ + from, c, static_cast<std::size_t>(to - from));
    if (!hit) return to;
    const qsizetype pos = static_cast<const char*>(hit) - data_;
    // In UTF-16 the byte must be the low half of a unit whose high half is 0.
    if (unit_ == 1 || ((pos - begin_) % 2 == 0 && pos + 1 < end_ && data_[pos + 1] == 0)) return pos;
    from = pos + 1;
  }
  return to;
}

qsizetype TextView::FindLast(qsizetype from, qsizetype to, char c) const {
  while (to > from) {
    const void* hit = ::memrchr(data_ + from, c, static_cast<std::size_t>(to - from));
    if (!hit) return -1;
    const qsizetype pos = static_cast<const char*>(hit) - data_;
    if (unit_ == 1 || ((pos - begin_) % 2 == 0 && pos + 1 < end_ && data_[pos + 1] == 0)) return pos;
    to = pos;
  }
  return -1;
}

bool IsBlankOrTab(char16_t c) { return c == u' ' || c == u'\t'; }

void TextView::Trim(qsizetype& b, qsizetype& e) const {
  while (b < e && IsBlankOrTab(At(b))) b += unit_;
  while (e > b && IsBlankOrTab(At(e - unit_))) e -= unit_;
}

QString TextView::Decode(qsizetype b, qsizetype e, qsizetype maxUnits) const {
  if (e <= b || maxUnits <= 0) return {};
  if (unit_ == 2) {
    // Unit by unit: lone surrogates survive, as they would in the platform's
    // wide read.
    const qsizetype n = std::min((e - b) / 2, maxUnits);
    QString s(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i) s[i] = QChar(At(b + 2 * i));
    return s;
  }
  // No unit takes more than four bytes, so these bytes hold the first
  // maxUnits units whole; a character cut at their end lies beyond them.
  // A byte-order mark inside the text is a character like any other (only
  // the file's first one is none, and it lies before begin()).
  const qsizetype bytes = std::min(e - b, maxUnits * 4 + 4);
  QStringDecoder utf8(QStringConverter::Utf8,
                      QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
  QString s = utf8.decode(QByteArrayView(data_ + b, bytes));
  if (s.size() > maxUnits) s.truncate(maxUnits);
  return s;
}

bool TextView::AllAscii(qsizetype b, qsizetype e) const {
  for (qsizetype p = b; p < e; p += unit_)
    if (At(p) >= 0x80) return false;
  return true;
}

namespace {

// Any value up to 0x10FFFF, surrogates included: the key is compared, never
// decoded, and the encoding tells every value apart.
void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// The key of a name: what QString::compare with Qt::CaseInsensitive
// compares, unit by unit: each unit case-folded on its own, a low surrogate
// after a high one as the character the two make. Two names are the same
// name exactly when their keys are equal.
void AppendFoldedKey(std::string& key, const QString& name) {
  char16_t last = 0;
  for (const QChar ch : name) {
    const char16_t unit = ch.unicode();
    char32_t c = unit;
    if (QChar::isLowSurrogate(unit) && QChar::isHighSurrogate(last)) c = QChar::surrogateToUcs4(last, unit);
    last = unit;
    AppendUtf8(key, QChar::toCaseFolded(c));
  }
}

}  // namespace

void TextView::KeyOf(qsizetype b, qsizetype e, std::string& key) const {
  key.clear();
  if (AllAscii(b, e)) {
    // Case folding maps ASCII to ASCII lower case, without a detour.
    for (qsizetype p = b; p < e; p += unit_) {
      const char16_t c = At(p);
      key.push_back(static_cast<char>(c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c));
    }
    return;
  }
  AppendFoldedKey(key, Decode(b, e, (e - b) / unit_ + 1));
}

std::string NameKey(const QString& name) {
  qsizetype b = 0, e = name.size();
  while (b < e && IsBlankOrTab(name[b].unicode())) ++b;
  while (e > b && IsBlankOrTab(name[e - 1].unicode())) --e;
  std::string key;
  AppendFoldedKey(key, name.mid(b, e - b));
  return key;
}

Line LineAt(const TextView& text, qsizetype begin) {
  Line line;
  line.begin = begin;
  const qsizetype lf = text.Find(begin, text.end(), '\n');
  line.next = lf < text.end() ? lf + text.unit() : lf;
  line.end = lf;
  if (line.end > line.begin && text.At(line.end - text.unit()) == u'\r') line.end -= text.unit();
  return line;
}

qsizetype LineStartOf(const TextView& text, qsizetype from, qsizetype pos) {
  const qsizetype lf = text.FindLast(from, pos, '\n');
  return lf < 0 ? from : lf + text.unit();
}

bool EndsWithBreak(const TextView& text, const Line& line) {
  return line.next - text.unit() >= line.begin && text.At(line.next - text.unit()) == u'\n';
}

bool HeaderName(const TextView& text, const Line& line, qsizetype& b, qsizetype& e) {
  qsizetype first = line.begin;
  qsizetype last = line.end;
  text.Trim(first, last);
  if (first == last || text.At(first) != u'[') return false;
  b = first + text.unit();
  e = text.Find(b, last, ']');
  text.Trim(b, e);
  return true;
}

void ValueOf(const TextView& text, const Line& line, qsizetype equals, qsizetype& b, qsizetype& e) {
  b = equals + text.unit();
  e = line.end;
  text.Trim(b, e);
  if (e - b >= 2 * text.unit()) {
    const char16_t open = text.At(b);
    if ((open == u'"' || open == u'\'') && text.At(e - text.unit()) == open) {
      b += text.unit();
      e -= text.unit();
    }
  }
}

}  // namespace ini
