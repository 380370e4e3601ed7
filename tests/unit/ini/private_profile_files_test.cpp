// What the private-profile calls do with whatever lies at the path: a file
// the user may not read or write, a FIFO or a device where a file is
// expected, a new file under the user's umask, a replaced file's mode and
// owner, a long name. Cases that need an ordinary user run in a child
// process with an unprivileged uid (tests/support/ordinary_user.h).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>

#include "core/ini/private_profile.h"
#include "ini_fixture.h"
#include "tests/support/late_fifo_writer.h"
#include "tests/support/ordinary_user.h"

namespace {

using testsupport::GiveToOrdinaryUser;
using testsupport::LateFifoWriter;
using testsupport::RunAsOrdinaryUser;
using testsupport::RunningAsRoot;

std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

struct stat StatOf(const QString& path) {
  struct stat st {};
  ::lstat(Native(path).c_str(), &st);
  return st;
}

QStringList FolderEntries(const IniFixture& fx) {
  return QDir(fx.Dir().path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

const QByteArray kSettings =
    "[SETTING]\r\nApp_Name=Divarod\r\n[LANGUAGE_CFG]\r\nDefault=English\r\nLang=eng|It\r\n"
    "[CUSTOMER_CFG]\r\nId=5f0c2a\r\n[DEVINFO_CFG]\r\nDev_Info=9215\r\n";
const QByteArray kSettingsInGerman = QByteArray(kSettings).replace("Default=English", "Default=Deutsch");

// Config.ini in a folder the ordinary user owns.
class ConfigOfAnOrdinaryUser : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(GiveToOrdinaryUser(Native(fx.Dir().path())));
    path = fx.Write(kSettings, "Config.ini");
    ASSERT_TRUE(GiveToOrdinaryUser(Native(path)));
  }
  int WriteLanguage() const {
    return ini::WritePrivateProfileString("LANGUAGE_CFG", "Default", "Deutsch", path) ? 1 : 0;
  }
  IniFixture fx;
  QString path;
};

struct PermissionCase {
  const char* name;
  mode_t mode;
  bool byRoot;   // the write runs as root, else as the ordinary user
  bool written;  // and may replace the file
};

void PrintTo(const PermissionCase& c, std::ostream* os) { *os << c.name; }

class WriteByPermission : public ConfigOfAnOrdinaryUser, public ::testing::WithParamInterface<PermissionCase> {};

// A file that exists but cannot be read is never taken for a missing one,
// and a file the user may not write is not replaced by a rename in the
// folder the user may write. Root may do both.
TEST_P(WriteByPermission, ReplacesOnlyWhatTheUserMayReadAndWrite) {
  const PermissionCase& c = GetParam();
  if (c.byRoot && !RunningAsRoot()) {
    GTEST_SKIP() << "the case is root's";
  }
  ASSERT_EQ(::chmod(Native(path).c_str(), c.mode), 0);
  const int result = c.byRoot ? WriteLanguage() : RunAsOrdinaryUser([this] { return WriteLanguage(); });
  EXPECT_EQ(result, c.written ? 1 : 0);
  EXPECT_EQ(IniFixture::Read(path), c.written ? kSettingsInGerman : kSettings);
  EXPECT_EQ(StatOf(path).st_mode & 07777, c.mode);
  EXPECT_EQ(FolderEntries(fx), QStringList{"Config.ini"});
}

const PermissionCase kPermissionCases[] = {
    {"unreadable_for_the_user", 0200, false, false},
    {"read_only_for_the_user", 0444, false, false},
    {"neither_for_the_user", 0000, false, false},
    {"readable_and_writable_for_the_user", 0640, false, true},
    {"read_only_for_root", 0444, true, true},
    {"unreadable_for_root", 0200, true, true},
};

INSTANTIATE_TEST_SUITE_P(Table, WriteByPermission, ::testing::ValuesIn(kPermissionCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A write that cannot make its temporary file beside the target (a folder
// the user may not write) fails and leaves the old file whole.
TEST_F(ConfigOfAnOrdinaryUser, FolderTheUserMayNotWriteLeavesTheFile) {
  ASSERT_EQ(::chmod(Native(fx.Dir().path()).c_str(), 0555), 0);
  EXPECT_EQ(RunAsOrdinaryUser([this] { return WriteLanguage(); }), 0);
  ::chmod(Native(fx.Dir().path()).c_str(), 0755);
  EXPECT_EQ(IniFixture::Read(path), kSettings);
  EXPECT_EQ(FolderEntries(fx), QStringList{"Config.ini"});
}

// Reads and writes of a FIFO lying where the file is expected come back at
// once: the path's kind is tested before it is opened. The read gives the
// defaults, as a missing file does; the write fails and the FIFO stays.
TEST(FileKinds, FifoWhereTheFileIsExpectedNeverWaits) {
  IniFixture fx;
  const QString path = fx.PathOf("Config.ini");
  LateFifoWriter fifo(Native(path));
  ASSERT_TRUE(fifo.made());

  QString value;
  EXPECT_TRUE(fifo.ReturnsBeforeAWriter([&] { ini::GetPrivateProfileString("SETTING", "App_Name", "none", value, 256, path); }));
  EXPECT_EQ(value, "none");
  int mask = 0;
  EXPECT_TRUE(fifo.ReturnsBeforeAWriter([&] { mask = ini::GetPrivateProfileInt("DEVINFO_CFG", "Dev_Info", 9215, path); }));
  EXPECT_EQ(mask, 9215);
  QString section = "x";
  EXPECT_TRUE(fifo.ReturnsBeforeAWriter([&] { ini::GetPrivateProfileSection("String", section, 100, path); }));
  EXPECT_EQ(section, QString(QChar(0)));
  bool written = true;
  EXPECT_TRUE(fifo.ReturnsBeforeAWriter(
      [&] { written = ini::WritePrivateProfileString("LANGUAGE_CFG", "Default", "English", path); }));
  EXPECT_FALSE(written);
  EXPECT_TRUE(S_ISFIFO(StatOf(path).st_mode));
}

// A device behind the name reads as a missing file and is never written.
// The write runs as the ordinary user, so that no version of the writer can
// ever replace the machine's /dev/null.
TEST(FileKinds, DeviceWhereTheFileIsExpectedIsNeitherReadNorWritten) {
  IniFixture fx;
  ASSERT_TRUE(GiveToOrdinaryUser(Native(fx.Dir().path())));
  const QString path = fx.PathOf("Config.ini");
  ASSERT_TRUE(QFile::link("/dev/null", path));
  QString value;
  ini::GetPrivateProfileString("SETTING", "App_Name", "none", value, 256, path);
  EXPECT_EQ(value, "none");
  EXPECT_EQ(RunAsOrdinaryUser([&] { return ini::WritePrivateProfileString("A", "k", "v", path) ? 1 : 0; }), 0);
  EXPECT_TRUE(S_ISCHR(StatOf("/dev/null").st_mode));
  EXPECT_TRUE(S_ISLNK(StatOf(path).st_mode));
}

// A new file gets the permissions the user's umask leaves, as every file a
// program creates does.
TEST(FileModes, NewFileHonoursTheUmask) {
  for (const mode_t mask : {mode_t{077}, mode_t{022}, mode_t{002}}) {
    IniFixture fx;
    const QString path = fx.PathOf("new.ini");
    const mode_t old = ::umask(mask);
    const bool written = ini::WritePrivateProfileString("A", "k", "v", path);
    ::umask(old);
    ASSERT_TRUE(written) << mask;
    EXPECT_EQ(StatOf(path).st_mode & 0777, 0666 & ~mask) << "umask " << mask;
  }
}

// A replaced file keeps its owner, group and mode where the process may set
// them (root may).
TEST(FileModes, ReplacedFileKeepsItsOwnerGroupAndMode) {
  if (!RunningAsRoot()) {
    GTEST_SKIP() << "only root may give a file to another user";
  }
  IniFixture fx;
  const QString path = fx.Write("[A]\nk=1\n", "Config.ini");
  ASSERT_EQ(::chown(Native(path).c_str(), testsupport::kOtherUid, testsupport::kOtherGid), 0);
  ASSERT_EQ(::chmod(Native(path).c_str(), 0640), 0);
  ASSERT_TRUE(ini::WritePrivateProfileString("A", "k", "2", path));
  EXPECT_EQ(IniFixture::Read(path), QByteArray("[A]\nk=2\n"));
  const struct stat st = StatOf(path);
  EXPECT_EQ(st.st_uid, testsupport::kOtherUid);
  EXPECT_EQ(st.st_gid, testsupport::kOtherGid);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// Any name the folder takes can be written: the temporary file's name is
// made to fit beside it.
TEST(FileNames, LongestNamesAreWritten) {
  for (const int length : {250, 255}) {
    IniFixture fx;
    const QString name = QString(length - 4, QChar('c')) + ".ini";
    const QString path = fx.Write("[A]\nk=1\n", name);
    ASSERT_EQ(IniFixture::Read(path), QByteArray("[A]\nk=1\n")) << length;
    EXPECT_TRUE(ini::WritePrivateProfileString("A", "k", "2", path)) << length;
    EXPECT_EQ(IniFixture::Read(path), QByteArray("[A]\nk=2\n")) << length;
    EXPECT_EQ(FolderEntries(fx), QStringList({name})) << length;
  }
}

}  // namespace
