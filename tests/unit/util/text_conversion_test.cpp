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

TEST(TextConversion, NarrowPrefixWithinEndsBetweenWholeCharacters) {
  const QString pair = QString::fromUtf8("\xF0\x9F\x93\xB7");  // 4 bytes
  const struct {
    QString wide;
    std::size_t maxBytes;
    qsizetype units;
  } cases[] = {
      {"", 5, 0},
      {"abc", 0, 0},
      {"abc", 3, 3},
      {"abc", 2, 2},
      {QString(QChar(0x00E9)) + "x", 1, 0},        // a 2-byte character does not fit in 1
      {QString(QChar(0x65E5)) + "x", 3, 1},
      {pair + "x", 3, 0},                          // the pair is 4 bytes, never half of it
      {pair + "x", 4, 2},
      {QString(QChar(0xD83D)) + "x", 1, 1},        // an unpaired surrogate converts to one byte
      {QString(QChar(0xDCF7)) + pair, 4, 1},       // a low surrogate before a pair is no pair
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NarrowPrefixWithin(c.wide, c.maxBytes), c.units) << c.wide.toStdString() << " in " << c.maxBytes;
    // What it keeps converts to no more than allowed.
    std::string narrow;
    CStringToAnsi(c.wide.left(c.units), narrow);
    EXPECT_LE(narrow.size(), c.maxBytes);
  }
}

}  // namespace
