#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "core/ini/private_profile.h"
#include "core/util/long_string_cipher.h"
#include "libs/cipher/string_cipher.h"
#include "tests/support/fake_device_library.h"
#include "ui/main/main_config.h"

namespace {

// A program folder with a Config.ini of the given text.
class ConfigFolder : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(QDir(dir_.path()).mkpath("Config File/Config")); }
  MainConfig Load(const QByteArray* ini) {
    MainConfig c;
    BuildConfigPaths(c, dir_.path() + "/");
    if (ini) {
      QFile f(c.configIniPath);
      f.open(QIODevice::WriteOnly | QIODevice::Truncate);
      f.write(*ini);
    }
    lib_.fake.ClearCalls();
    LoadConfiguration(c);
    return c;
  }
  MainConfig Load(const QByteArray& ini) { return Load(&ini); }
  static std::string Encipher(const std::string& plain) {
    std::string out;
    EncryptLongString(plain, out, EncryptString);
    return out;
  }
  QTemporaryDir dir_;
  ScopedFakeDeviceLibrary lib_;
};

TEST_F(ConfigFolder, PathsBesideTheProgram) {
  MainConfig c;
  BuildConfigPaths(c, "/opt/divarod/");
  EXPECT_EQ(c.programFolder, "/opt/divarod/");
  EXPECT_EQ(c.configIniPath, "/opt/divarod/Config File/Config/Config.ini");
  EXPECT_EQ(c.encodeIniPath, "/opt/divarod/Config File/Config/Encode.ini");
  EXPECT_EQ(c.skinFolder, "/opt/divarod/Config File/Skin/");
  EXPECT_EQ(c.logoIconPath, "/opt/divarod/Config File/Skin/Logo.ico");
  EXPECT_EQ(c.helpBitmapPath, "/opt/divarod/Config File/Skin/Help.bmp");
  EXPECT_EQ(c.pageLogoPath, "/opt/divarod/Config File/Skin/Pagelogo.png");
  EXPECT_TRUE(c.userDataFolder.isEmpty() || c.userDataFolder.endsWith("/"));
}

TEST_F(ConfigFolder, MissingConfigIniGivesEveryDefault) {
  const MainConfig c = Load(nullptr);
  EXPECT_EQ(c.appName, "");
  EXPECT_EQ(c.versionText, "");
  EXPECT_EQ(c.releaseText, "  ");
  EXPECT_EQ(c.languageIndex, 0);
  EXPECT_TRUE(c.LanguageMap.empty());
  EXPECT_EQ(c.customerCode, "");
  EXPECT_FALSE(c.showModel);
  EXPECT_FALSE(c.modifyModelMode);
  EXPECT_FALSE(c.showHelp);
  EXPECT_FALSE(c.periodicSearch);
  EXPECT_EQ(c.columnMask, 0x22FF);
  EXPECT_EQ(c.searchMinutes, 0);
  EXPECT_TRUE(c.searchPeriods.empty());
  EXPECT_EQ(c.defaultPorts.http, 80);
  EXPECT_EQ(c.defaultPorts.tcp, 34567);
  EXPECT_EQ(c.defaultPorts.rtsp, 554);
  const auto calls = lib_.fake.CallsOf("SDK_SetCustomer");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Arg(0), "");
}

TEST_F(ConfigFolder, ColumnMaskAndModelSwitches) {
  const struct {
    const char* model;
    const char* devInfo;  // nullptr: key missing
    const char* modify;
    int mask;
    bool showModel, modifyMode;
  } cases[] = {
      {"Show_Model=1", nullptr, "", 0x23FF, true, false},
      {"Show_Model=0", nullptr, "", 0x22FF, false, false},
      {"Show_Model=1", "Dev_Info=0", "", 0x2007, true, false},
      {"Show_Model=0", "Dev_Info=0", "", 0x2007, false, false},
      {"Show_Model=\"1 \"", nullptr, "", 0x22FF, false, false},  // "1" followed by a blank is off
      {"Show_Model=1", "Dev_Info=256", "Modify_Mode=1", 0x2107, true, true},
      {"Show_Model=0", "Dev_Info=256", "Modify_Mode=1", 0x2007, false, false},
      {"Show_Model=1", "Dev_Info=-1", "Modify_Mode=yes", -1, true, false},
  };
  for (const auto& k : cases) {
    QByteArray ini = QByteArray("[MODEL_CFG]\n") + k.model + "\n" + k.modify + "\n[DEVINFO_CFG]\n";
    if (k.devInfo) ini += QByteArray(k.devInfo) + "\n";
    const MainConfig c = Load(ini);
    EXPECT_EQ(c.columnMask, k.mask) << k.model << " " << (k.devInfo ? k.devInfo : "-");
    EXPECT_EQ(c.showModel, k.showModel) << k.model;
    EXPECT_EQ(c.modifyModelMode, k.modifyMode) << k.model << " " << k.modify;
  }
}

TEST_F(ConfigFolder, LanguageByDisplayNameInAnyCase) {
  const struct {
    const char* stored;
    int index;
  } cases[] = {{"ENGLISH", 0}, {"deutsch", 8}, {"日本語", 5}, {"ไทย", 25}, {"Klingon", 0}, {"", 0}};
  for (const auto& k : cases)
    EXPECT_EQ(Load(QByteArray("[LANGUAGE_CFG]\nDefault=") + k.stored + "\n").languageIndex, k.index) << k.stored;
}

TEST_F(ConfigFolder, LanguageListInListOrder) {
  const MainConfig c = Load("[LANGUAGE_CFG]\nLang=eng|Ge||Jp|NoText\neng=English\nGe=Deutsch\nJp=日本語\n");
  ASSERT_EQ(c.LanguageMap.size(), 4u);
  const char* names[][2] = {{"eng", "English"}, {"Ge", "Deutsch"}, {"Jp", "日本語"}, {"NoText", ""}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(c.LanguageMap.at(i).fileName, names[i][0]);
    EXPECT_EQ(c.LanguageMap.at(i).displayName, QString::fromUtf8(names[i][1]));
  }
}

// How many times the file at path is opened while run runs (the kernel's
// inotify events; nothing in the program is asked). The closes are watched
// too: the kernel merges an event into an identical one still unread, and
// an open's close stands between two opens.
int OpensOf(const QString& path, const std::function<void()>& run) {
  const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) return -1;
  if (::inotify_add_watch(fd, QFile::encodeName(path).constData(), IN_OPEN | IN_CLOSE) < 0) {
    ::close(fd);
    return -1;
  }
  run();
  int opens = 0;
  alignas(inotify_event) char buffer[4096];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) {
    for (char* p = buffer; p < buffer + n; p += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(p)->len)
      opens += (reinterpret_cast<inotify_event*>(p)->mask & IN_OPEN) != 0;
  }
  ::close(fd);
  return opens;
}

// The whole configuration comes from one read of Config.ini, however many
// keys and language names it holds.
TEST_F(ConfigFolder, ConfigIniIsReadOncePerLoad) {
  QByteArray ini =
      "[SETTING]\nApp_Name=Divarod\nVersion=1\n[LANGUAGE_CFG]\nDefault=Deutsch\nLang=eng|It|Ge|Fr\n"
      "eng=English\nIt=Italiano\nGe=Deutsch\nFr=Fran\xc3\xa7\x61is\n[SEARCH_CFG]\nPeriod_Time=5|10\nSel_Time=10\n"
      "[DEFAULT_CFG]\nHttp_port=8080\n";
  Load(ini);  // writes the file
  MainConfig c;
  BuildConfigPaths(c, dir_.path() + "/");
  EXPECT_EQ(OpensOf(c.configIniPath, [&] { LoadConfiguration(c); }), 1);
  EXPECT_EQ(c.appName, "Divarod");
  EXPECT_EQ(c.languageIndex, 8);
  ASSERT_EQ(c.LanguageMap.size(), 4u);
  EXPECT_EQ(c.LanguageMap.at(3).displayName, "Français");
  EXPECT_EQ(c.searchMinutes, 10);
  EXPECT_EQ(c.defaultPorts.http, 8080);
}

TEST_F(ConfigFolder, SettingTextsAndRelease) {
  const MainConfig c = Load("[SETTING]\nApp_Name=Divarod Device Manager\nVersion=V1.0\nRelease_Data=2026-12-10\n"
                            "Release_Time=08:00\n[HELP_CFG]\nShow_Help=1\n");
  EXPECT_EQ(c.appName, "Divarod Device Manager");
  EXPECT_EQ(c.versionText, "V1.0");
  EXPECT_EQ(c.releaseText, "2026-12-10  08:00");
  EXPECT_TRUE(c.showHelp);
}

TEST_F(ConfigFolder, SearchSettings) {
  const struct {
    const char* ini;
    std::vector<int> periods;
    bool periodic;
    int minutes;
  } cases[] = {
      {"Period_Time=45|60|90|120\nPeriodic_Search=1\nSel_Time=60", {45, 60, 90, 120}, true, 60},
      {"Period_Time=45|60|\nPeriodic_Search=0\nSel_Time=", {45, 60}, false, 0},
      {"Period_Time=30x|abc|77\nPeriodic_Search=yes\nSel_Time=12min", {30, 0, 77}, false, 12},
      {"Period_Time=\nPeriodic_Search=\"1\"", {}, true, 0},
  };
  for (const auto& k : cases) {
    const MainConfig c = Load(QByteArray("[SEARCH_CFG]\n") + k.ini + "\n");
    EXPECT_EQ(c.searchPeriods, k.periods) << k.ini;
    EXPECT_EQ(c.periodicSearch, k.periodic) << k.ini;
    EXPECT_EQ(c.searchMinutes, k.minutes) << k.ini;
  }
}

TEST_F(ConfigFolder, CustomerCodeDecipheredOrUsedAsStored) {
  const struct {
    std::string stored, code;
  } cases[] = {
      {Encipher("C0000"), "C0000"},
      {Encipher("C0000C1234"), "C0000C1234"},
      {Encipher("C000000"), Encipher("C000000")},  // 7 characters: not a code, used as stored
      {"PLAIN", "PLAIN"},
  };
  for (const auto& k : cases) {
    const MainConfig c = Load(QByteArray("[CUSTOMER_CFG]\nId=") + k.stored.c_str() + "\n");
    EXPECT_EQ(c.customerCode, k.code);
    const auto calls = lib_.fake.CallsOf("SDK_SetCustomer");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Arg(0), k.code);
  }
}

TEST_F(ConfigFolder, DefaultPortsReadLikeScanfDecimal) {
  const struct {
    const char* value;
    uint16_t http;
  } cases[] = {{"8080", 8080}, {"70000", 80}, {"-1", 80}, {"81abc", 81}, {"", 80}, {"abc", 80}, {" 88", 88}};
  for (const auto& k : cases) {
    const MainConfig c = Load(QByteArray("[DEFAULT_CFG]\nHttp_port=") + k.value + "\nTcp_port=5000\n");
    EXPECT_EQ(c.defaultPorts.http, k.http) << k.value;
    EXPECT_EQ(c.defaultPorts.tcp, 5000);
    EXPECT_EQ(c.defaultPorts.rtsp, 554);
  }
}

TEST_F(ConfigFolder, WritersChangeOnlyTheirKeys) {
  const QByteArray before =
      "; Divarod settings\r\n[LANGUAGE_CFG]\r\nDefault=English\r\nLang=eng\r\n\r\n[DEVINFO_CFG]\r\nDev_Info=9215\r\n";
  MainConfig c = Load(before);
  ASSERT_TRUE(WriteLanguageSetting(c, 8));
  ASSERT_TRUE(WriteDevInfoMask(c, 0x2107));
  ASSERT_TRUE(WriteSearchSettings(c, true, 60));
  EXPECT_FALSE(WriteLanguageSetting(c, 26));
  QFile f(c.configIniPath);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(),
            QByteArray("; Divarod settings\r\n[LANGUAGE_CFG]\r\nDefault=Deutsch\r\nLang=eng\r\n\r\n[DEVINFO_CFG]\r\n"
                       "Dev_Info=8455\r\n[SEARCH_CFG]\r\nPeriodic_Search=1\r\nSel_Time=60\r\n"));
  c = Load(nullptr);
  EXPECT_EQ(c.languageIndex, 8);
  EXPECT_TRUE(c.periodicSearch);
  EXPECT_EQ(c.searchMinutes, 60);
}

TEST(ShippedConfig, LoadsAsTheProgramShipsIt) {
  ScopedFakeDeviceLibrary lib;
  MainConfig c;
  BuildConfigPaths(c, QCoreApplication::applicationDirPath() + "/");
  ASSERT_TRUE(QFile::exists(c.configIniPath)) << c.configIniPath.toStdString();
  LoadConfiguration(c);
  EXPECT_EQ(c.appName, "Divarod Device Manager");
  EXPECT_FALSE(c.versionText.isEmpty());
  EXPECT_EQ(c.customerCode, "C0000");
  // Show_Model=1 and Dev_Info=9215 (0x23FF): every column, the model's included.
  EXPECT_TRUE(c.showModel);
  EXPECT_EQ(c.columnMask, 0x23FF);
  EXPECT_TRUE(c.showHelp);
  EXPECT_FALSE(c.periodicSearch);
  EXPECT_EQ(c.searchMinutes, 45);
  ASSERT_GE(c.searchPeriods.size(), 4u);
  for (int p : c.searchPeriods) {
    EXPECT_GE(p, 45);
    EXPECT_LE(p, 120);
  }
  ASSERT_EQ(c.LanguageMap.size(), static_cast<std::size_t>(kLanguageCount));
  for (int i = 0; i < kLanguageCount; ++i) {
    const LanguageEntry& row = LanguageTable[static_cast<std::size_t>(i)];
    const LanguageEntry& listed = c.LanguageMap.at(i);
    EXPECT_EQ(listed.fileName + ".lang", row.fileName);
    EXPECT_EQ(listed.displayName, row.displayName);
    EXPECT_TRUE(QFile::exists(c.langFolder + row.fileName)) << row.fileName.toStdString();
  }
  QString def;
  ini::GetPrivateProfileString("LANGUAGE_CFG", "Default", "", def, 1500, c.configIniPath);
  EXPECT_EQ(LanguageTable[static_cast<std::size_t>(c.languageIndex)].displayName.compare(def, Qt::CaseInsensitive),
            0);
  EXPECT_NE(c.defaultPorts.http, 0);
}

}  // namespace
