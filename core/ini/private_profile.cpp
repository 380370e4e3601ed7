#include "core/ini/private_profile.h"

#include <QFile>
#include <array>
#include <string_view>

#include "core/files/atomic_write.h"
#include "core/ini/profile_snapshot.h"

namespace ini {
namespace {

bool HoldsLineBreak(const QString& s) { return s.contains(u'\n') || s.contains(u'\r') || s.contains(QChar(0)); }

bool IsBlankName(const QString& s) {
  for (QChar c : s)
    if (!IsBlankOrTab(c.unicode())) return false;
  return true;
}

// The line break the file already uses ("\r\n" when its first break is one,
// "\n" otherwise or for a file without breaks).
QString LineBreakOf(const TextView& t) {
  const qsizetype lf = t.Find(t.begin(), t.end(), '\n');
  if (lf < t.end() && lf > t.begin() && t.At(lf - t.unit()) == u'\r') return QStringLiteral("\r\n");
  return QStringLiteral("\n");
}

// What ends the text's last line, which has no line break: a lone "\r" there
// only needs its "\n" (a whole break after it would leave the "\r" in the
// line's value).
QString BreakAfterLastLine(const TextView& t, const QString& br) {
  return t.At(t.end() - t.unit()) == u'\r' ? QStringLiteral("\n") : br;
}

// The last line of the section that is not blank (its header when all are).
Line LastFilledLine(const TextView& t, const ProfileSnapshot::Section& section) {
  Line last = LineAt(t, section.header);
  for (qsizetype pos = section.body; pos < section.end;) {
    const Line line = LineAt(t, pos);
    qsizetype b = line.begin, e = line.end;
    t.Trim(b, e);
    if (b < e) last = line;
    pos = line.next;
  }
  return last;
}

}  // namespace

int GetPrivateProfileString(const QString& section, const QString& key, const QString& def, QString& out,
                            int bufferSize, const QString& path) {
  return ProfileSnapshot(path).GetString(section, key, def, out, bufferSize);
}

int GetPrivateProfileSection(const QString& section, QString& out, int bufferSize, const QString& path) {
  return ProfileSnapshot(path).GetSection(section, out, bufferSize);
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
  return ProfileSnapshot(path).GetInt(section, key, def);
}

bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& path) {
  if (HoldsLineBreak(section) || HoldsLineBreak(key) || HoldsLineBreak(value)) return false;
  if (section.contains(u']') || key.contains(u'=')) return false;
  if (IsBlankName(section) || IsBlankName(key)) return false;

  // A file that is there but cannot be read is never taken for a missing
  // one: rebuilt from nothing, it would lose every other setting.
  IniFile loaded = LoadIniFile(path);
  if (loaded.state == FileState::kUnreadable) return false;
  const ProfileSnapshot snapshot(std::move(loaded));
  const IniFile& file = snapshot.file();
  const TextView t(file);
  const Encoding enc = file.encoding;
  const QString br = LineBreakOf(t);
  const ProfileSnapshot::Section span = snapshot.FindSection(section);
  const ProfileSnapshot::Entry hit = snapshot.FindEntry(span, key);

  // The new file is the old one with [at, resume) replaced by insert.
  qsizetype at = 0;
  qsizetype resume = 0;
  std::string insert;
  if (hit.found) {
    // Keep the key and the blanks after "=" exactly; replace the rest of the line.
    at = hit.equals + t.unit();
    while (at < hit.line.end && IsBlankOrTab(t.At(at))) at += t.unit();
    resume = hit.line.end;
    insert = EncodeText(enc, value);
  } else if (span.header >= 0) {
    // After the section's last non-blank line, so blank lines separating it
    // from the next section stay where they are.
    const Line after = LastFilledLine(t, span);
    QString text = key + u'=' + value + br;
    if (!EndsWithBreak(t, after)) text.prepend(BreakAfterLastLine(t, br));  // it ends the file without a break
    at = resume = after.next;
    insert = EncodeText(enc, text);
  } else {
    QString text = u'[' + section + u']' + br + key + u'=' + value + br;
    const bool hasLines = t.end() > t.begin();
    if (hasLines && t.At(t.end() - t.unit()) != u'\n') text.prepend(BreakAfterLastLine(t, br));
    at = resume = t.end();
    insert = EncodeText(enc, text);
  }
  const std::string_view bytes(file.bytes);
  const std::array<std::string_view, 3> pieces = {bytes.substr(0, static_cast<std::size_t>(at)), insert,
                                                  bytes.substr(static_cast<std::size_t>(resume))};
  return files::WriteFileAtomically(QFile::encodeName(path).toStdString(), pieces);
}

}  // namespace ini
