#include "core/ini/profile_snapshot.h"

#include <climits>

namespace ini {
namespace {

QString WithoutTrailingBlanks(QString s) {
  while (!s.isEmpty() && s.back() == u' ') s.chop(1);
  return s;
}

// False when the name in [b, e) is surely not the one whose key is wanted:
// an ASCII first character folds to itself in lower case, and that is the
// first byte of its key. Spares building the key of every entry a search
// passes.
bool MayBeNamed(const TextView& t, qsizetype b, qsizetype e, const std::string& wanted) {
  if (b == e || wanted.empty()) return b == e && wanted.empty();
  const char16_t first = t.At(b);
  if (first >= 0x80) return true;
  const char folded = static_cast<char>(first >= u'A' && first <= u'Z' ? first - u'A' + u'a' : first);
  return folded == wanted.front();
}

}  // namespace

ProfileSnapshot::ProfileSnapshot(const QString& path) : ProfileSnapshot(LoadIniFile(path)) {}

ProfileSnapshot::ProfileSnapshot(IniFile file) : file_(std::move(file)), text_(file_) { IndexSections(); }

void ProfileSnapshot::IndexSections() {
  const TextView& t = text_;
  Section* open = nullptr;  // the first section of its name, still to be closed
  std::string key;
  qsizetype pos = t.begin();
  while (pos < t.end()) {
    const qsizetype bracket = t.Find(pos, t.end(), '[');
    if (bracket == t.end()) break;
    const Line line = LineAt(t, LineStartOf(t, pos, bracket));
    qsizetype b = 0, e = 0;
    if (HeaderName(t, line, b, e)) {
      if (open) open->end = line.begin;
      open = nullptr;
      t.KeyOf(b, e, key);
      const auto [it, first] = sections_.try_emplace(key);
      if (first) {
        it->second = Section{line.begin, line.next, t.end()};
        open = &it->second;  // unordered_map keeps its elements in place
      }
    }
    pos = line.next;
  }
}

ProfileSnapshot::Section ProfileSnapshot::FindSection(const QString& section) const {
  const auto it = sections_.find(NameKey(section));
  return it == sections_.end() ? Section{} : it->second;
}

ProfileSnapshot::Entry ProfileSnapshot::FindEntry(const Section& section, const QString& key) const {
  Entry entry;
  if (section.header < 0) return entry;
  const TextView& t = text_;
  const std::string wanted = NameKey(key);
  std::string name;
  qsizetype pos = section.body;
  while (pos < section.end) {
    // Every line with an "=" that is no comment is an entry; the first "="
    // at or after a line start is that line's first.
    const qsizetype equals = t.Find(pos, section.end, '=');
    if (equals == section.end) break;
    const Line line = LineAt(t, LineStartOf(t, pos, equals));
    qsizetype b = line.begin, e = equals;
    t.Trim(b, e);
    const bool comment = b < equals && t.At(b) == u';';
    if (!comment && MayBeNamed(t, b, e, wanted)) {
      t.KeyOf(b, e, name);
      if (name == wanted) {
        entry.found = true;
        entry.line = line;
        entry.equals = equals;
        return entry;
      }
    }
    pos = line.next;
  }
  return entry;
}

QString ProfileSnapshot::ValueText(const Entry& entry, qsizetype maxUnits) const {
  qsizetype b = 0, e = 0;
  ValueOf(text_, entry.line, entry.equals, b, e);
  return text_.Decode(b, e, maxUnits);
}

int ProfileSnapshot::GetString(const QString& section, const QString& key, const QString& def, QString& out,
                               int bufferSize) const {
  if (bufferSize <= 0) {
    out.clear();
    return 0;
  }
  const Entry entry = FindEntry(FindSection(section), key);
  out = entry.found ? ValueText(entry, bufferSize - 1) : WithoutTrailingBlanks(def).left(bufferSize - 1);
  return static_cast<int>(out.size());
}

std::vector<QString> ProfileSnapshot::GetStrings(const QString& section, const std::vector<QString>& keys,
                                                 const QString& def, int bufferSize) const {
  const QString fallback = bufferSize > 0 ? WithoutTrailingBlanks(def).left(bufferSize - 1) : QString();
  std::vector<QString> values(keys.size(), fallback);
  const Section span = FindSection(section);
  if (bufferSize <= 0 || span.header < 0) return values;
  std::unordered_map<std::string, std::vector<std::size_t>> pending;  // key -> its places in keys
  for (std::size_t i = 0; i < keys.size(); ++i) pending[NameKey(keys[i])].push_back(i);

  const TextView& t = text_;
  std::string name;
  qsizetype pos = span.body;
  while (pos < span.end && !pending.empty()) {
    const qsizetype equals = t.Find(pos, span.end, '=');
    if (equals == span.end) break;
    const Line line = LineAt(t, LineStartOf(t, pos, equals));
    qsizetype b = line.begin, e = equals;
    t.Trim(b, e);
    if (!(b < equals && t.At(b) == u';')) {
      t.KeyOf(b, e, name);
      if (const auto it = pending.find(name); it != pending.end()) {
        const QString value = ValueText(Entry{true, line, equals}, bufferSize - 1);
        for (const std::size_t i : it->second) values[i] = value;
        pending.erase(it);  // the first entry of a name wins
      }
    }
    pos = line.next;
  }
  return values;
}

int ProfileSnapshot::GetInt(const QString& section, const QString& key, int def) const {
  const Entry entry = FindEntry(FindSection(section), key);
  if (!entry.found) return def;
  const QString v = ValueText(entry, 1499);
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

int ProfileSnapshot::GetSection(const QString& section, QString& out, int bufferSize) const {
  out.clear();
  if (bufferSize < 2) return 0;
  const Section span = FindSection(section);
  const TextView& t = text_;
  qsizetype pos = span.header < 0 ? span.end : span.body;
  while (pos < span.end) {
    const Line line = LineAt(t, pos);
    pos = line.next;
    qsizetype b = line.begin, e = line.end;
    t.Trim(b, e);
    if (b == e || t.At(b) == u';') continue;  // blank lines and comments are not copied
    // This line, its NUL and the closing NUL must fit; a unit takes at
    // least one byte, so a longer line never does.
    const qsizetype room = bufferSize - out.size() - 2;
    if ((e - b) / t.unit() > room * 4) break;
    const QString text = t.Decode(b, e, room + 1);
    if (text.size() > room) break;
    out += text;
    out += QChar(0);
  }
  const int count = static_cast<int>(out.size());
  out += QChar(0);
  return count;
}

}  // namespace ini
