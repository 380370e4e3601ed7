// Config.ini and the language files come from disk: any bytes may be there.
// The input is an INI file: it is read through every private-profile call,
// its lists are split as the configuration loader splits them, its customer
// code deciphered, and one write is checked to read back.
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/ini/ini_file.h"
#include "core/ini/private_profile.h"
#include "core/util/long_string_cipher.h"
#include "core/util/number_text.h"
#include "core/util/setting_list.h"
#include "libs/cipher/string_cipher.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// One file per process, removed after every input (libFuzzer may end the
// process without running destructors).
const QString& FilePath() {
  static const QString path = QString("/tmp/divarod-fuzz-ini-%1.ini").arg(getpid());
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

  // The line scanner never steps outside the file.
  const ini::IniFile file = ini::ParseIniBytes(bytes);
  for (const ini::IniLine& line : ini::SplitLines(file)) {
    Check(line.begin <= line.end && line.end <= line.next && line.next <= bytes.size());
  }

  WriteInput(data, size);
  const QString& path = FilePath();
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

  // A write reads back, and the file keeps its byte-order mark.
  if (ini::WritePrivateProfileString("SEARCH_CFG", "Sel_Time", "45", path)) {
    Check(ini::GetPrivateProfileInt("SEARCH_CFG", "Sel_Time", -1, path) == 45);
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QByteArray after = f.readAll();
    if (bytes.startsWith("\xFF\xFE")) Check(after.startsWith("\xFF\xFE"));
    if (bytes.startsWith("\xEF\xBB\xBF")) Check(after.startsWith("\xEF\xBB\xBF"));
  }
  QFile::remove(path);
  return 0;
}
