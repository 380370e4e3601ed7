#include "ui/main/main_config.h"

#include <cstdlib>

#include "core/device/device_library.h"
#include "core/ini/private_profile.h"
#include "core/qr/user_data_folder.h"
#include "core/util/long_string_cipher.h"
#include "core/util/number_text.h"
#include "core/util/setting_list.h"
#include "core/util/text_conversion.h"
#include "libs/cipher/string_cipher.h"

namespace {

QString ReadSetting(const ini::ProfileSnapshot& configIni, const char* section, const char* key,
                   int bufferChars = kSettingReadChars) {
  QString value;
  configIni.GetString(section, key, "", value, bufferChars);
  return value;
}

std::string ReadSettingAnsi(const ini::ProfileSnapshot& configIni, const char* section, const char* key,
                            int bufferChars = kSettingReadChars) {
  std::string ansi;
  CStringToAnsi(ReadSetting(configIni, section, key, bufferChars), ansi);
  return ansi;
}

// Cuts a UTF-8 text to at most limit bytes without splitting a character.
std::string CutUtf8(std::string text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t n = limit;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  text.resize(n);
  return text;
}

int ParseDecimal(const std::string& text) {
  int value = 0;
  CStringToInt(QString::fromStdString(text), &value, 10);
  return value;
}

}  // namespace

void BuildConfigPaths(MainConfig& c, const QString& programFolder) {
  c.programFolder = programFolder;
  const QString root = programFolder + "Config File/";
  c.configIniPath = root + "Config/" + "Config.ini";
  c.encodeIniPath = root + "Config/" + "Encode.ini";
  c.skinFolder = root + "Skin/";
  c.langFolder = root + "Lang/";
  c.logoIconPath = c.skinFolder + "Logo.ico";
  c.helpBitmapPath = c.skinFolder + "Help.bmp";
  c.pageLogoPath = c.skinFolder + "Pagelogo.png";
  std::string folder;
  GetUserDataFolder(folder);  // its result is not needed: a failure leaves the folder empty
  c.userDataFolder = QString::fromStdString(folder);
}

void LoadLanguageList(MainConfig& c, const ini::ProfileSnapshot& configIni) {
  c.LanguageMap.clear();
  std::vector<QString> names;
  for (const std::string& name : SplitSettingList(ReadSettingAnsi(configIni, "LANGUAGE_CFG", "Lang", kListReadChars)))
    names.push_back(QString::fromStdString(name));
  // Every listed name's text in one pass over the section, however long the list.
  std::vector<QString> texts = configIni.GetStrings("LANGUAGE_CFG", names, "", kListReadChars);
  for (std::size_t i = 0; i < names.size(); ++i) {
    LanguageEntry entry;
    entry.fileName = names[i];
    entry.displayName = std::move(texts[i]);
    c.LanguageMap.emplace(static_cast<int>(i), std::move(entry));
  }
}

void LoadSearchSettings(MainConfig& c, const ini::ProfileSnapshot& configIni) {
  c.searchPeriods.clear();
  for (const std::string& piece :
       SplitSettingList(ReadSettingAnsi(configIni, "SEARCH_CFG", "Period_Time", kListReadChars)))
    c.searchPeriods.push_back(ParseDecimal(piece));
  c.periodicSearch = ReadSettingAnsi(configIni, "SEARCH_CFG", "Periodic_Search") == "1";
  c.searchMinutes = ParseDecimal(ReadSettingAnsi(configIni, "SEARCH_CFG", "Sel_Time"));
}

void LoadConfiguration(MainConfig& c) {
  const ini::ProfileSnapshot configIni(c.configIniPath);
  c.appName = ReadSetting(configIni, "SETTING", "App_Name");
  c.versionText = ReadSetting(configIni, "SETTING", "Version");
  c.releaseText = ReadSetting(configIni, "SETTING", "Release_Data") + "  " + ReadSetting(configIni, "SETTING", "Release_Time");

  const QString language = ReadSetting(configIni, "LANGUAGE_CFG", "Default");
  c.languageIndex = 0;
  for (const LanguageEntry& row : LanguageTable) {
    if (row.displayName.compare(language, Qt::CaseInsensitive) == 0) {
      c.languageIndex = row.id;
      break;
    }
  }

  LoadLanguageList(c, configIni);

  // A code that does not decipher is used as stored.
  std::string code = ReadSettingAnsi(configIni, "CUSTOMER_CFG", "Id");
  DecryptLongString(code, DecryptString);
  c.customerCode = CutUtf8(code, kSettingReadChars - 1);
  devicelib::Lib().SDK_SetCustomer(c.customerCode.c_str());

  c.showModel = ReadSettingAnsi(configIni, "MODEL_CFG", "Show_Model") == "1";
  c.modifyModelMode = c.showModel && ReadSettingAnsi(configIni, "MODEL_CFG", "Modify_Mode") == "1";

  c.columnMask = configIni.GetInt("DEVINFO_CFG", "Dev_Info", kDefaultDevInfoMask) | kAlwaysShownColumns;
  if (!c.showModel) c.columnMask &= ~kModelColumnBit;

  LoadSearchSettings(c, configIni);

  c.showHelp = ReadSettingAnsi(configIni, "HELP_CFG", "Show_Help") == "1";

  c.defaultPorts = ReadDefaultPorts(configIni);
}

bool WriteLanguageSetting(const MainConfig& c, int languageIndex) {
  if (languageIndex < 0 || languageIndex >= kLanguageCount) return false;
  return ini::WritePrivateProfileString("LANGUAGE_CFG", "Default",
                                        LanguageTable[static_cast<std::size_t>(languageIndex)].displayName,
                                        c.configIniPath);
}

bool WriteDevInfoMask(const MainConfig& c, int mask) {
  return ini::WritePrivateProfileString("DEVINFO_CFG", "Dev_Info", QString::number(mask), c.configIniPath);
}

bool WriteSearchSettings(const MainConfig& c, bool periodic, int minutes) {
  const bool a = ini::WritePrivateProfileString("SEARCH_CFG", "Periodic_Search", periodic ? "1" : "0", c.configIniPath);
  const bool b = ini::WritePrivateProfileString("SEARCH_CFG", "Sel_Time", QString::number(minutes), c.configIniPath);
  return a && b;
}
