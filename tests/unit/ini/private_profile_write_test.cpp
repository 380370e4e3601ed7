#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <QDir>
#include <QFileInfo>

#include "core/ini/private_profile.h"
#include "ini_fixture.h"

namespace {

struct WriteCase {
  const char* name;
  const char* before;
  const char* section;
  const char* key;
  const char* value;
  const char* after;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class WriteString : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteString, ChangesOnlyWhatItMust) {
  IniFixture fx;
  const WriteCase& c = GetParam();
  const QString path = fx.Write(QByteArray(c.before));
  ASSERT_TRUE(ini::WritePrivateProfileString(c.section, c.key, QString::fromUtf8(c.value), path));
  EXPECT_EQ(IniFixture::Read(path), QByteArray(c.after));
  QString back;
  ini::GetPrivateProfileString(c.section, c.key, "", back, 1500, path);
  EXPECT_EQ(back, QString::fromUtf8(c.value).trimmed());
}

const WriteCase kWriteCases[] = {
    {"replace_keeps_key_spelling_and_blanks", "; top\r\n[LANGUAGE_CFG]\r\n  Default = English  \r\nLang=a|b\r\n",
     "language_cfg", "DEFAULT", "Deutsch", "; top\r\n[LANGUAGE_CFG]\r\n  Default = Deutsch\r\nLang=a|b\r\n"},
    {"replace_first_of_two", "[A]\nk=1\nk=2\n", "A", "k", "3", "[A]\nk=3\nk=2\n"},
    {"replace_only_in_first_section", "[A]\nk=1\n[A]\nk=2\n", "A", "k", "3", "[A]\nk=3\n[A]\nk=2\n"},
    {"replace_quoted_value", "[A]\nk=\"old\"\n", "A", "k", "new", "[A]\nk=new\n"},
    {"replace_with_empty", "[A]\nk=1\n", "A", "k", "", "[A]\nk=\n"},
    {"replace_on_last_line_without_break", "[A]\nk=1", "A", "k", "22", "[A]\nk=22"},
    {"append_key_after_last_line_of_section", "[A]\nx=1\n\n[B]\ny=2\n", "A", "k", "v", "[A]\nx=1\nk=v\n\n[B]\ny=2\n"},
    {"append_key_uses_crlf_of_file", "[A]\r\nx=1\r\n[B]\r\n", "A", "k", "v", "[A]\r\nx=1\r\nk=v\r\n[B]\r\n"},
    {"append_key_to_empty_section", "[A]\n[B]\n", "A", "k", "v", "[A]\nk=v\n[B]\n"},
    {"append_key_when_file_lacks_final_break", "[A]\nx=1", "A", "k", "v", "[A]\nx=1\nk=v\n"},
    {"comment_is_not_the_key", "[A]\n;k=1\n", "A", "k", "2", "[A]\n;k=1\nk=2\n"},
    {"append_section_at_end", "[A]\nx=1\n", "SEARCH_CFG", "Sel_Time", "45",
     "[A]\nx=1\n[SEARCH_CFG]\nSel_Time=45\n"},
    {"append_section_after_line_without_break", "[A]\nx=1", "B", "k", "v", "[A]\nx=1\n[B]\nk=v\n"},
    {"last_line_ending_in_lone_cr_gets_a_break", "[A]\nx=1\r", "A", "k", "v", "[A]\nx=1\r\nk=v\n"},
    {"section_after_lone_cr", "[A]\r", "B", "k", "v", "[A]\r\n[B]\nk=v\n"},
    // Its "\r" gets only the "\n" it lacks, and the value before it stays "1".
    {"lone_cr_at_the_end_of_a_crlf_file", "[A]\r\nx=1\r", "A", "k", "v", "[A]\r\nx=1\r\nk=v\r\n"},
    {"section_after_lone_cr_of_a_crlf_file", "[A]\r\nx=1\r", "B", "k", "v", "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
    {"append_section_to_empty_file", "", "B", "k", "v", "[B]\nk=v\n"},
    {"utf8_bom_kept", "\xEF\xBB\xBF[A]\nk=1\n", "A", "k", "Français", "\xEF\xBB\xBF[A]\nk=Français\n"},
    {"undecodable_bytes_elsewhere_kept", "[A]\n\xE9t\xE9=\xFF\nk=1\n", "A", "k", "2", "[A]\n\xE9t\xE9=\xFF\nk=2\n"},
};

INSTANTIATE_TEST_SUITE_P(Table, WriteString, ::testing::ValuesIn(kWriteCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WriteFile, Utf16LeFileStaysUtf16Le) {
  IniFixture fx;
  const QString path = fx.Write(IniFixture::Utf16Le("[LANGUAGE_CFG]\r\nDefault=English\r\n; 注释\r\n"));
  ASSERT_TRUE(ini::WritePrivateProfileString("LANGUAGE_CFG", "Default", "日本語", path));
  ASSERT_TRUE(ini::WritePrivateProfileString("SEARCH_CFG", "Sel_Time", "45", path));
  EXPECT_EQ(IniFixture::Read(path),
            IniFixture::Utf16Le("[LANGUAGE_CFG]\r\nDefault=日本語\r\n; 注释\r\n[SEARCH_CFG]\r\nSel_Time=45\r\n"));
}

TEST(WriteFile, Utf16LeOddStrayByteStaysLast) {
  IniFixture fx;
  const QByteArray before = IniFixture::Utf16Le("[A]\r\n") + QByteArray("\x41", 1);
  const QString path = fx.Write(before);
  ASSERT_TRUE(ini::WritePrivateProfileString("B", "k", "v", path));
  EXPECT_EQ(IniFixture::Read(path), IniFixture::Utf16Le("[A]\r\n[B]\r\nk=v\r\n") + QByteArray("\x41", 1));
  QString back;
  ini::GetPrivateProfileString("B", "k", "", back, 100, path);
  EXPECT_EQ(back, "v");
}

TEST(WriteFile, MissingFileIsCreated) {
  IniFixture fx;
  const QString path = fx.PathOf("new.ini");
  ASSERT_TRUE(ini::WritePrivateProfileString("DEVINFO_CFG", "Dev_Info", "9215", path));
  EXPECT_EQ(IniFixture::Read(path), QByteArray("[DEVINFO_CFG]\nDev_Info=9215\n"));
  EXPECT_EQ(ini::GetPrivateProfileInt("DEVINFO_CFG", "Dev_Info", 0, path), 9215);
}

TEST(WriteFile, MissingFolderFailsWithoutCreatingAnything) {
  IniFixture fx;
  EXPECT_FALSE(ini::WritePrivateProfileString("A", "k", "v", fx.PathOf("no/such/dir.ini")));
  EXPECT_FALSE(QFileInfo::exists(fx.PathOf("no")));
}

TEST(WriteFile, RefusesTextsThatWouldBreakTheFile) {
  IniFixture fx;
  const QByteArray before("[A]\nk=1\n");
  const QString path = fx.Write(before);
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {{"A", "k", "1\n[B]"}, {"A", "k", "1\r2"}, {"A", "k=j", "1"}, {"A]", "k", "1"},
               {"A\n", "k", "1"},    {"", "k", "1"},     {"A", " ", "1"}};
  for (const auto& c : cases)
    EXPECT_FALSE(ini::WritePrivateProfileString(c.section, c.key, c.value, path)) << c.section << c.key << c.value;
  EXPECT_EQ(IniFixture::Read(path), before);
}

TEST(WriteFile, LeavesNoTemporaryFileAndKeepsPermissions) {
  IniFixture fx;
  const QString path = fx.Write("[A]\nk=1\n");
  ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0640), 0);
  ASSERT_TRUE(ini::WritePrivateProfileString("A", "k", "2", path));
  struct stat st{};
  ASSERT_EQ(stat(QFile::encodeName(path).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(QDir(fx.Dir().path()).entryList(QDir::Files), QStringList{"test.ini"});
}

TEST(WriteFile, WritesThroughASymbolicLink) {
  IniFixture fx;
  const QString target = fx.Write("[A]\nk=1\n", "real.ini");
  const QString link = fx.PathOf("link.ini");
  ASSERT_TRUE(QFile::link(target, link));
  ASSERT_TRUE(ini::WritePrivateProfileString("A", "k", "2", link));
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(IniFixture::Read(target), QByteArray("[A]\nk=2\n"));
}

// A write that cannot finish leaves the old file whole and no temporary file
// beside it. The obstacle holds for root too: a file size limit smaller than
// the new contents (the temporary file is made but cannot be written).
// private_profile_files_test has the one of an ordinary user: a folder in
// which no temporary file can be made.
QStringList FolderEntries(const IniFixture& fx) {
  return QDir(fx.Dir().path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

TEST(WriteFile, WriteCutShortByTheFileSizeLimitLeavesTheOldFile) {
  IniFixture fx;
  const QString path = fx.Write("[A]\nk=1\n", "c.ini");
  const QString big(64 * 1024, QChar('x'));

  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  struct rlimit small = old;
  small.rlim_cur = 1024;
  void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);  // write() then fails with EFBIG
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = ini::WritePrivateProfileString("A", "k", big, path);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(written);
  EXPECT_EQ(IniFixture::Read(path), QByteArray("[A]\nk=1\n"));
  EXPECT_EQ(FolderEntries(fx), QStringList({"c.ini"}));
}

}  // namespace
