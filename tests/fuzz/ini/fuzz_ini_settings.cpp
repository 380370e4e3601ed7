// Config.ini and the language files come from disk: any bytes may be there.
// The input is an INI file: it is read through every private-profile call,
// each read held against the plain reading of reference_profile.h, its lists
// are split as the configuration loader splits them, its customer code
// deciphered, and one write is checked to change that one value and no other.
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/ini/ini_file.h"
#include "core/ini/ini_scanner.h"
#include "core/ini/private_profile.h"
#include "core/ini/profile_snapshot.h"
#include "core/util/long_string_cipher.h"
#include "core/util/number_text.h"
#include "core/util/setting_list.h"
#include "libs/cipher/string_cipher.h"
#include "reference_profile.h"

namespace {

// Names the broken property's line before the fuzzer's report of the abort.
void Check(bool ok, int line = __builtin_LINE()) {
  if (ok) return;
  std::fprintf(stderr, "fuzz_ini_settings: the check of line %d failed\n", line);
  std::abort();
}

// One file per process, removed after every input (libFuzzer may end the
// process without running destructors). In memory where the machine has a
// folder there: every input's write is made durable (two fsyncs), which on a
// disk the machine's other work slows down (4 of the replay's 12 s here on an
// idle machine, much more in a loaded parallel run).
const QString& FilePath() {
  static const QString path =
      QString("%1/divarod-fuzz-ini-%2.ini").arg(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp").arg(getpid());
  return path;
}

void WriteInput(const uint8_t* data, size_t size) {
  QFile f(FilePath());
  f.open(QIODevice::WriteOnly | QIODevice::Truncate);
  f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
}

void SplitList(const QString& value) {
  for (const std::string& piece : SplitSettingList(value.toStdString())) {
    Check(!piece.empty() && piece.size() <= kSettingListItemMaxBytes);
    Check(piece.find('|') == std::string::npos);
    int n = 0;
    CStringToInt(QString::fromStdString(piece), &n, 10);
  }
}

std::string ReadBack(const QString& path) {
  QFile f(path);
  f.open(QIODevice::ReadOnly);
  return f.readAll().toStdString();
}

// Names to ask for: the first few section names and keys the file holds
// (their spelling varied in case), and a few it may not.
struct Names {
  QStringList sections{"LANGUAGE_CFG", "String", "A", ""};
  QStringList keys{"Lang", "Default", "k", ""};
};

Names NamesIn(const QStringList& lines) {
  Names names;
  for (const QString& line : lines) {
    if (const auto header = reference::HeaderName(line)) {
      if (names.sections.size() < 8) names.sections << header->toUpper();
    } else if (const qsizetype eq = line.indexOf(u'='); eq >= 0 && names.keys.size() < 12) {
      names.keys << line.left(eq).toLower();
    }
  }
  return names;
}

// Every read agrees with the plain reading, for every buffer size. The
// calls of private_profile.h each read the file into a snapshot and ask it,
// so the snapshot of one read answers most of the questions.
void CheckReads(const std::string& bytes, const QString& path, const Names& names) {
  const QStringList lines = reference::Lines(bytes);
  const ini::ProfileSnapshot snapshot(path);
  for (const QString& section : names.sections) {
    for (int buffer : {2, 7, 64, 1048576}) {
      QString out;
      const int n = snapshot.GetSection(section, out, buffer);
      const QString expected = reference::Section(lines, section, buffer);
      Check(out == expected && n == expected.size() - 1);
    }
    std::vector<QString> keys(names.keys.begin(), names.keys.end());
    const std::vector<QString> batch = snapshot.GetStrings(section, keys, "dflt ", 1500);
    for (std::size_t i = 0; i < keys.size(); ++i) {
      const auto value = reference::Value(lines, section, keys[i]);
      for (int buffer : {1, 3, 1500}) {
        QString out;
        const int n = snapshot.GetString(section, keys[i], "dflt ", out, buffer);
        Check(out == (value ? *value : QString("dflt")).left(buffer - 1) && n == out.size());
      }
      Check(batch[i] == (value ? *value : QString("dflt")).left(1499));
    }
  }
  QString out;
  ini::GetPrivateProfileString(names.sections[0], names.keys[0], "", out, 1500, path);
  Check(out == reference::Value(lines, names.sections[0], names.keys[0]).value_or(""));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  // The line scanner never steps outside the text, and each line starts
  // where the one before it ended.
  const ini::IniFile file = ini::ParseIniBytes(bytes);
  const ini::TextView text(file);
  for (qsizetype pos = text.begin(); pos < text.end();) {
    const ini::Line line = ini::LineAt(text, pos);
    Check(line.begin == pos && line.begin <= line.end && line.end <= line.next && line.next > pos &&
          line.next <= text.end());
    pos = line.next;
  }

  WriteInput(data, size);
  const QString& path = FilePath();
  const Names names = NamesIn(reference::Lines(bytes));
  CheckReads(bytes, path, names);
  QString value;
  for (int buffer : {1, 2, 16, 1500, 262144}) {
    const int n = ini::GetPrivateProfileString("LANGUAGE_CFG", "Lang", "", value, buffer, path);
    Check(n == value.size() && n < buffer);
  }
  SplitList(value);
  ini::GetPrivateProfileString("SEARCH_CFG", "Period_Time", "", value, 262144, path);
  SplitList(value);

  ini::GetPrivateProfileString("CUSTOMER_CFG", "Id", "", value, 1500, path);
  std::string code = value.toStdString();
  DecryptLongString(code, DecryptString);

  ini::GetPrivateProfileInt("DEVINFO_CFG", "Dev_Info", 9215, path);

  for (int buffer : {2, 7, 64, 1048576}) {
    QString section;
    const int n = ini::GetPrivateProfileSection("String", section, buffer, path);
    Check(n < buffer && section.size() == n + 1);
  }

  // A write reads back, changes no other value the file held, and the file
  // keeps its byte-order mark.
  const QString writtenSection = names.sections.size() > 4 ? names.sections[4] : QString("SEARCH_CFG");
  if (ini::WritePrivateProfileString(writtenSection, "Sel_Time", "45", path)) {
    Check(ini::GetPrivateProfileInt(writtenSection, "Sel_Time", -1, path) == 45);
    const std::string after = ReadBack(path);
    if (bytes.starts_with("\xFF\xFE")) Check(after.starts_with("\xFF\xFE"));
    if (bytes.starts_with("\xEF\xBB\xBF")) Check(after.starts_with("\xEF\xBB\xBF"));
    const QStringList before = reference::Lines(bytes);
    const QStringList now = reference::Lines(after);
    for (const QString& section : names.sections) {
      for (const QString& key : names.keys) {
        if (reference::SameName(section, writtenSection) && reference::SameName(key, "Sel_Time")) continue;
        Check(reference::Value(before, section, key) == reference::Value(now, section, key));
      }
    }
  }
  QFile::remove(path);
  return 0;
}
