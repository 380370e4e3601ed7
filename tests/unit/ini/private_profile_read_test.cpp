#include <gtest/gtest.h>

#include "core/ini/private_profile.h"
#include "ini_fixture.h"

namespace {

struct ReadCase {
  const char* name;
  const char* file;
  const char* section;
  const char* key;
  const char* expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ReadString : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadString, GivesTheWin32Value) {
  IniFixture fx;
  const ReadCase& c = GetParam();
  const QString path = fx.Write(QByteArray(c.file));
  QString out;
  const int n = ini::GetPrivateProfileString(c.section, c.key, "dflt  ", out, 1500, path);
  EXPECT_EQ(out, QString::fromUtf8(c.expected));
  EXPECT_EQ(n, out.size());
}

const ReadCase kReadCases[] = {
    {"plain", "[A]\nk=v\n", "A", "k", "v"},
    {"section_and_key_any_case", "[SeCtIoN]\nKeY=v\n", "section", "kEy", "v"},
    {"blanks_and_tabs_around_names", "  [ \tA\t ]  \n \t k \t= v\n", "A", "k", "v"},
    {"value_trimmed_both_ends", "[A]\nk= \t v w \t \n", "A", "k", "v w"},
    {"crlf_line_endings", "[A]\r\nk=v\r\n", "A", "k", "v"},
    {"double_quotes_removed", "[A]\nk=\" v \"\n", "A", "k", " v "},
    {"single_quotes_removed", "[A]\nk='v'\n", "A", "k", "v"},
    {"only_one_quote_pair_removed", "[A]\nk=\"\"v\"\"\n", "A", "k", "\"v\""},
    {"mismatched_quotes_kept", "[A]\nk=\"v'\n", "A", "k", "\"v'"},
    {"lone_quote_kept", "[A]\nk=\"\n", "A", "k", "\""},
    {"first_equals_splits", "[A]\nk==v=w\n", "A", "k", "=v=w"},
    {"first_key_wins", "[A]\nk=1\nk=2\n", "A", "k", "1"},
    {"first_section_wins", "[A]\nx=0\n[A]\nk=2\n", "A", "k", "dflt"},
    {"key_of_other_section_not_seen", "[A]\n[B]\nk=1\n", "A", "k", "dflt"},
    {"comment_line_is_no_key", "[A]\n;k=1\nk=2\n", "A", "k", "2"},
    {"indented_comment", "[A]\n  ;k=1\n", "A", "k", "dflt"},
    {"empty_value_is_a_value", "[A]\nk=\n", "A", "k", ""},
    {"missing_key_gives_trimmed_default", "[A]\nj=1\n", "A", "k", "dflt"},
    {"missing_section", "[B]\nk=1\n", "A", "k", "dflt"},
    {"key_before_any_section_ignored", "k=1\n[A]\n", "A", "k", "dflt"},
    {"no_final_line_break", "[A]\nk=v", "A", "k", "v"},
    {"utf8_text", "[A]\nk=简体中文\n", "A", "k", "简体中文"},
    {"utf8_bom", "\xEF\xBB\xBF[A]\nk=Español\n", "A", "k", "Español"},
    {"header_without_bracket", "[A\nk=v\n", "A", "k", "v"},
};

INSTANTIATE_TEST_SUITE_P(Table, ReadString, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadStringFile, MissingFileGivesDefaultWithoutTrailingBlanks) {
  IniFixture fx;
  QString out = "old";
  EXPECT_EQ(ini::GetPrivateProfileString("A", "k", "  d e  ", out, 1500, fx.PathOf("none.ini")), 5);
  EXPECT_EQ(out, "  d e");
}

TEST(ReadStringFile, Utf16LeWithBom) {
  IniFixture fx;
  const QString path = fx.Write(IniFixture::Utf16Le("[Lang]\r\nk=Ελληνικά ไทย 한국어\r\n"));
  QString out;
  ini::GetPrivateProfileString("lang", "K", "", out, 1500, path);
  EXPECT_EQ(out, "Ελληνικά ไทย 한국어");
}

TEST(ReadStringFile, CutToBufferMinusOne) {
  IniFixture fx;
  const QString path = fx.Write("[A]\nk=abcdef\n");
  struct {
    int size;
    const char* out;
  } cases[] = {{0, ""}, {1, ""}, {2, "a"}, {6, "abcde"}, {7, "abcdef"}, {1500, "abcdef"}};
  for (const auto& c : cases) {
    QString out = "x";
    EXPECT_EQ(ini::GetPrivateProfileString("A", "k", "", out, c.size, path), static_cast<int>(strlen(c.out)))
        << c.size;
    EXPECT_EQ(out, c.out) << c.size;
  }
  QString out;
  ini::GetPrivateProfileString("A", "missing", "default", out, 4, path);
  EXPECT_EQ(out, "def");
}

TEST(ReadStringFile, LongListValueFitsTheListBuffer) {
  IniFixture fx;
  QByteArray value(200000, 'x');
  const QString path = fx.Write("[A]\nk=" + value + "\n");
  QString out;
  EXPECT_EQ(ini::GetPrivateProfileString("A", "k", "", out, 262144, path), 200000);
  EXPECT_EQ(ini::GetPrivateProfileString("A", "k", "", out, 1500, path), 1499);
}

TEST(ReadSection, LinesTrimmedNulSeparatedAndEndedByAnEmptyOne) {
  IniFixture fx;
  const QString path =
      fx.Write("[Other]\nz=9\n[String]\n  a = 1 \n\n; note\nnokey\n=lead\nb==2\n[Next]\nc=3\n[String]\nd=4\n");
  QString out;
  const int n = ini::GetPrivateProfileSection("string", out, 1000, path);
  const QString expected = QStringLiteral("a = 1|nokey|=lead|b==2|").replace('|', QChar(0));
  EXPECT_EQ(n, expected.size());
  EXPECT_EQ(out, expected + QChar(0));
}

TEST(ReadSection, MissingFileOrSectionGivesNoLines) {
  IniFixture fx;
  const QString path = fx.Write("[A]\nk=1\n");
  char16_t buffer[8] = {u'x', u'x', u'x'};
  EXPECT_EQ(ini::GetPrivateProfileSection("B", buffer, 8, path), 0);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[1], 0);
  EXPECT_EQ(ini::GetPrivateProfileSection("A", buffer, 8, fx.PathOf("none.ini")), 0);
}

TEST(ReadSection, CutKeepsOnlyWholeLinesThatFit) {
  IniFixture fx;
  const QString path = fx.Write("[S]\na=1\nb=2\nc=3\n");
  // "a=1\0b=2\0" needs 8 units and the closing NUL one more.
  struct {
    int size;
    int count;
  } cases[] = {{9, 8}, {10, 8}, {12, 8}, {13, 12}, {8, 4}, {5, 4}, {4, 0}, {2, 0}};
  for (const auto& c : cases) {
    std::vector<char16_t> buffer(static_cast<std::size_t>(c.size) + 4, u'#');
    EXPECT_EQ(ini::GetPrivateProfileSection("S", buffer.data(), c.size, path), c.count) << c.size;
    EXPECT_EQ(buffer[static_cast<std::size_t>(c.count)], 0) << c.size;
    EXPECT_EQ(buffer[static_cast<std::size_t>(c.size) + 1], u'#') << "wrote past the buffer, size " << c.size;
  }
}

TEST(ReadInt, SignAndLeadingDigits) {
  IniFixture fx;
  const QString path = fx.Write(
      "[D]\na=9215\nb=-12\nc=+7\nd=81abc\ne=abc\nf=\ng= 42 \nh=99999999999\ni=-99999999999\nj=0x10\n");
  struct {
    const char* key;
    int value;
  } cases[] = {{"a", 9215},      {"b", -12}, {"c", 7},          {"d", 81},          {"e", 0}, {"f", 0},
               {"g", 42},        {"h", INT_MAX}, {"i", INT_MIN}, {"j", 0},           {"missing", 77}};
  for (const auto& c : cases) EXPECT_EQ(ini::GetPrivateProfileInt("d", c.key, 77, path), c.value) << c.key;
  EXPECT_EQ(ini::GetPrivateProfileInt("D", "a", 5, fx.PathOf("none.ini")), 5);
}

}  // namespace
