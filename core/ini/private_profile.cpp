// Interim reader: plain UTF-8 files, enough for start-up. The full layer
// (encodings, atomic writes) replaces it.
#include "core/ini/private_profile.h"

#include <QFile>
#include <QStringList>

namespace ini {
namespace {

QStringList ReadLines(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll()).split(QChar('\n'));
}

QString TrimBlanks(const QString& s) {
  int b = 0, e = static_cast<int>(s.size());
  auto blank = [](QChar c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (b < e && blank(s[b])) ++b;
  while (e > b && blank(s[e - 1])) --e;
  return s.mid(b, e - b);
}

}  // namespace

int GetPrivateProfileString(const QString& section, const QString& key, const QString& def, QString& out,
                            int bufferSize, const QString& path) {
  const QStringList lines = ReadLines(path);
  bool inSection = false;
  QString value = def;
  bool found = false;
  for (const QString& raw : lines) {
    const QString line = TrimBlanks(raw);
    if (line.startsWith('[')) {
      if (found) break;
      inSection = line.mid(1, line.indexOf(']') - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
      continue;
    }
    if (!inSection || line.startsWith(';')) continue;
    const int eq = static_cast<int>(line.indexOf('='));
    if (eq < 0) continue;
    if (TrimBlanks(line.left(eq)).compare(key, Qt::CaseInsensitive) == 0) {
      value = TrimBlanks(line.mid(eq + 1));
      found = true;
      break;
    }
  }
  if (bufferSize <= 0) {
    out.clear();
    return 0;
  }
  out = value.left(bufferSize - 1);
  return static_cast<int>(out.size());
}

int GetPrivateProfileSection(const QString&, QString& out, int, const QString&) {
  out.clear();
  return 0;
}

int GetPrivateProfileInt(const QString& section, const QString& key, int def, const QString& path) {
  QString v;
  if (GetPrivateProfileString(section, key, QString(), v, 1500, path) == 0) return def;
  return v.toInt();
}

bool WritePrivateProfileString(const QString&, const QString&, const QString&, const QString&) { return false; }

}  // namespace ini
