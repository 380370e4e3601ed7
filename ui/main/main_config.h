#pragma once
// The settings the main window holds: where the files beside the program
// are, and what Config.ini says. Read once while the main window
// initialises (LoadConfiguration), written back key by key when the user
// changes a setting (the Write* functions). A missing Config.ini or key
// reads as the defaults below.

#include <QString>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/ini/profile_snapshot.h"
#include "core/language/language.h"
#include "ui/operations/default_ports.h"

// Buffers of the private-profile reads: single settings and lists.
inline constexpr int kSettingReadChars = 1500;
inline constexpr int kListReadChars = 262144;

// Column mask bits that are always on: number, IP, MAC and login state.
inline constexpr int kAlwaysShownColumns = 0x2007;
inline constexpr int kModelColumnBit = 0x100;
inline constexpr int kDefaultDevInfoMask = 9215;  // 0x23FF

struct MainConfig {
  // Paths (BuildConfigPaths); every folder ends with "/".
  QString programFolder;
  QString configIniPath;   // Config File/Config/Config.ini
  QString encodeIniPath;   // Config File/Config/Encode.ini
  QString skinFolder;      // Config File/Skin/
  QString langFolder;      // Config File/Lang/
  QString userDataFolder;  // per-user folder for the QR bitmap; empty when none was found
  QString logoIconPath;    // Skin/Logo.ico, shown at 32 x 32
  QString helpBitmapPath;  // Skin/Help.bmp, 640 x 528
  QString pageLogoPath;    // Skin/Pagelogo.png

  // SETTING
  QString appName;
  QString versionText;
  QString releaseText;  // Release_Data, two blanks, Release_Time

  // LANGUAGE_CFG
  int languageIndex = 0;  // LanguageTable row of Default; 0 without a match
  // Lang, by position from 0: fileName = the listed name, displayName = its value.
  std::map<int, LanguageEntry> LanguageMap;

  // CUSTOMER_CFG/Id deciphered (or as stored when it does not decipher), at most 1499 bytes.
  std::string customerCode;

  // MODEL_CFG, DEVINFO_CFG, HELP_CFG
  bool showModel = false;
  bool modifyModelMode = false;  // Modify_Mode "1" and Show_Model on
  int columnMask = (kDefaultDevInfoMask | kAlwaysShownColumns) & ~kModelColumnBit;
  bool showHelp = false;

  // SEARCH_CFG
  bool periodicSearch = false;
  int searchMinutes = 0;           // Sel_Time
  std::vector<int> searchPeriods;  // Period_Time, in file order

  // DEFAULT_CFG
  DefaultPorts defaultPorts;
};

// Fills every path from the program folder (with its trailing "/"); the
// per-user folder comes from GetUserDataFolder and stays empty when it fails.
void BuildConfigPaths(MainConfig& config, const QString& programFolder);

// Reads all of Config.ini, in one read of the file, in this order: paths
// already built (call BuildConfigPaths first), SETTING, the language, the
// language list, the customer code (handed to the device library's
// SDK_SetCustomer), the model switches, the column mask, the search
// settings, Show_Help, the default ports. Skin images are the window's to
// load from the paths.
void LoadConfiguration(MainConfig& config);

// Parts of LoadConfiguration, from its read of Config.ini.
void LoadLanguageList(MainConfig& config, const ini::ProfileSnapshot& configIni);
void LoadSearchSettings(MainConfig& config, const ini::ProfileSnapshot& configIni);

// The writers of the settings the user changes. True when Config.ini was written.
bool WriteLanguageSetting(const MainConfig& config, int languageIndex);         // LANGUAGE_CFG/Default
bool WriteDevInfoMask(const MainConfig& config, int mask);                       // DEVINFO_CFG/Dev_Info
bool WriteSearchSettings(const MainConfig& config, bool periodic, int minutes);  // SEARCH_CFG
