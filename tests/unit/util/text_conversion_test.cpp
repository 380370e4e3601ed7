#include <gtest/gtest.h>

#include "core/util/text_conversion.h"

namespace {

TEST(TextConversion, WideToNarrowIsUtf8) {
  std::string a, u;
  CStringToAnsi(QString::fromUtf8("Ελληνικά ไทย"), a);
  CStringToUtf8(QString::fromUtf8("Ελληνικά ไทย"), u);
  EXPECT_EQ(a, "Ελληνικά ไทย");
  EXPECT_EQ(u, a);
}

TEST(TextConversion, MultiByteCutsAtTheFirstNulAndKeepsTheCut) {
  QString wide = QString("ab") + QChar(0) + "cd";
  std::string narrow;
  EXPECT_TRUE(CStringToMultiByte(wide, narrow, kCodePageUtf8));
  EXPECT_EQ(wide, "ab");
  EXPECT_EQ(narrow, "ab");
}

TEST(TextConversion, Utf8ToWide) {
  const struct {
    std::string in;
    QString out;
  } cases[] = {
      {"", ""},
      {"Français", QString::fromUtf8("Français")},
      {std::string("ab\0cd", 5), "ab"},
      {"a\xFF" "b", QString("a") + QChar(0xFFFD) + "b"},
  };
  for (const auto& c : cases) {
    QString out = "old";
    EXPECT_TRUE(Utf8ToCString(out, c.in));
    EXPECT_EQ(out, c.out);
  }
}

TEST(TextConversion, BoundedCutsLongTextsAtWholeCharacters) {
  std::string out;
  ASSERT_TRUE(CStringToAnsiBounded("model-20", out));
  EXPECT_EQ(out, "model-20");

  ASSERT_TRUE(CStringToAnsiBounded(QString(40000, 'x'), out));
  EXPECT_EQ(out.size(), static_cast<std::size_t>(kBoundedWideChars - 1));

  // 3 bytes per character: the narrow buffer is the limit, and no character is split.
  ASSERT_TRUE(CStringToAnsiBounded(QString(30000, QChar(0x4E2D)), out));
  EXPECT_EQ(out.size(), 64017u);
  EXPECT_EQ(QString::fromUtf8(out.data(), static_cast<qsizetype>(out.size())), QString(21339, QChar(0x4E2D)));
}

}  // namespace
