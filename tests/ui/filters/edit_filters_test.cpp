#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <random>
#include <string>
#include <vector>

#include "core/util/text_conversion.h"
#include "tests/support/qstring_units.h"
#include "ui/filters/edit_filters.h"

namespace {

// A real edit wired the way the pages wire theirs: the filter runs on every
// change notification, its own rewrites included.
struct FilteredEdit {
  template <typename Filter>
  explicit FilteredEdit(Filter filter) {
    QObject::connect(&edit, &QLineEdit::textChanged, &edit, [this, filter] {
      ++runs;
      filter(&edit);
    });
  }
  QLineEdit edit;
  int runs = 0;
};

struct ClampCase {
  int64_t min, max;
  const char* typed;
  const char* shown;
};

TEST(ClampEditNumberTest, CallersBoundsTable) {
  const ClampCase cases[] = {
      {1, 65535, "", "1"},       {1, 65535, "0", "1"},     {1, 65535, "70000", "65535"}, {1, 65535, "080", "80"},
      {1, 65535, "8a", "8"},     {1, 65535, "-3", "65535"}, {1, 65535, "554", "554"},    {0, 24, "", "0"},
      {0, 24, "24", "24"},       {0, 24, "25", "24"},       {0, 24, "007", "7"},          {45, 120, "30", "45"},
      {0, 120, "12x", "12"},     {1, 1024, "+5", "5"},      {0, 999999999, "9999999999", "999999999"},
      {0, 366, " 5", "5"},
  };
  for (const ClampCase& c : cases) {
    FilteredEdit f([&c](QLineEdit* e) { ClampEditNumber(e, c.min, c.max); });
    f.edit.setText("9");  // start from a text the filter leaves alone
    f.edit.setText(c.typed);
    EXPECT_EQ(f.edit.text(), c.shown) << c.typed << " in " << c.min << ".." << c.max;
    EXPECT_EQ(f.edit.cursorPosition(), f.edit.text().size()) << c.typed;
  }
}

TEST(ClampEditNumberTest, TypingKeyByKeyOnARealEdit) {
  FilteredEdit f([](QLineEdit* e) { ClampEditNumber(e, 1, 65535); });
  f.edit.setText("1");
  f.edit.selectAll();
  QTest::keyClicks(&f.edit, "80800");
  EXPECT_EQ(f.edit.text(), "65535");  // "8080" passes, the fifth digit clamps
  QTest::keyClick(&f.edit, Qt::Key_Backspace);
  EXPECT_EQ(f.edit.text(), "6553");
  QTest::keyClicks(&f.edit, "x");
  EXPECT_EQ(f.edit.text(), "6553");
}

TEST(ClampEditNumberTest, TextWithinBoundsIsNotRewritten) {
  FilteredEdit f([](QLineEdit* e) { ClampEditNumber(e, 0, 120); });
  f.edit.setText("45");
  EXPECT_EQ(f.runs, 1);
}

TEST(LimitEditUtf8Test, PathsCutAndTrailingBlanksDropped) {
  FilteredEdit f([](QLineEdit* e) { LimitEditUtf8(e); });
  f.edit.setText(QString(300, 'a'));
  EXPECT_EQ(f.edit.text(), QString(256, 'a'));

  f.edit.setText("/tmp/firmware.bin");
  QTest::keyClick(&f.edit, Qt::Key_Space);
  EXPECT_EQ(f.edit.text(), "/tmp/firmware.bin");

  // 200 characters of 2 bytes each: over 256 bytes, cut to 256 characters, so all stay.
  const QString wide(200, QChar(0x00E9));
  f.edit.setText(wide);
  EXPECT_EQ(f.edit.text(), wide);
  f.edit.setText(QString(300, QChar(0x00E9)));
  EXPECT_EQ(f.edit.text(), QString(256, QChar(0x00E9)));

  f.edit.setText("a b");
  EXPECT_EQ(f.edit.text(), "a b");
}

TEST(LimitEditUtf8Test, APairAtTheCutIsKeptWholeOrDropped) {
  const QString camera = QString::fromUtf8("\xF0\x9F\x93\xB7");  // a surrogate pair, 4 bytes
  const struct {
    const char* name;
    QString typed;
    QString shown;
  } cases[] = {
      // The 256th unit is the pair's first half: cut there, the box would hold an unpaired surrogate.
      {"pair across the cut", QString(255, 'a') + camera, QString(255, 'a')},
      {"pair across the cut, a tail after it", QString(255, 'a') + camera + QString(40, 'b'), QString(255, 'a')},
      {"pair before the cut", QString(254, 'a') + camera + "b", QString(254, 'a') + camera},
      {"pairs only", camera.repeated(200), camera.repeated(128)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FilteredEdit f([](QLineEdit* e) { LimitEditUtf8(e); });
    f.edit.setText(c.typed);
    EXPECT_EQ(f.edit.text(), c.shown);
  }
}

TEST(LimitEditAnsiTest, TwentiethByteIsRemovedAgain) {
  FilteredEdit f([](QLineEdit* e) { LimitEditAnsi(e); });
  QTest::keyClicks(&f.edit, "IPC-HFW2431S-S-S2AB");  // 19 characters
  EXPECT_EQ(f.edit.text(), "IPC-HFW2431S-S-S2AB");
  QTest::keyClicks(&f.edit, "Z");
  EXPECT_EQ(f.edit.text(), "IPC-HFW2431S-S-S2AB");
  EXPECT_EQ(f.edit.cursorPosition(), 19);
}

TEST(LimitEditAnsiTest, MultiByteAndPastedTexts) {
  FilteredEdit f([](QLineEdit* e) { LimitEditAnsi(e); });
  f.edit.setText(QString(7, QChar(0x65E5)));  // 21 bytes
  EXPECT_EQ(f.edit.text(), QString(6, QChar(0x65E5)));
  f.edit.setText(QString(30000, 'm'));  // a paste: one rewrite, no deep nesting
  EXPECT_EQ(f.edit.text(), QString(19, 'm'));
  const QString emoji = QString::fromUtf8("\xF0\x9F\x93\xB7");  // 4 bytes, a surrogate pair
  f.edit.setText(QString(16, 'a') + emoji);
  EXPECT_EQ(f.edit.text(), QString(16, 'a'));
  f.edit.setText("");
  EXPECT_EQ(f.edit.text(), "");
}

// The characters the tables build their texts of.
const QString kHigh(QChar(0xD83D));                             // a high surrogate alone
const QString kLow(QChar(0xDCF7));                              // a low surrogate alone
const QString kCamera = QString::fromUtf8("\xF0\x9F\x93\xB7");  // a surrogate pair, 4 bytes
const QString kE(QChar(0x00E9));                                // 2 bytes
const QString kSun(QChar(0x65E5));                              // 3 bytes

QString Times(int n, const QString& piece) { return piece.repeated(n); }

// The model-name rule as the change notification applies it, one round a
// character: convert the text, and while its ANSI form takes 20 bytes or
// more drop the last character. A surrogate pair goes whole, as the filter
// has always dropped it: half of one would leave an unpaired surrogate in the
// box. Converts the whole text again every round, so for small texts only
// (far below CStringToAnsiBounded's working buffer, where it converts as
// CStringToAnsi does).
QString RepeatedDrop(QString text) {
  std::string ansi;
  while (!text.isEmpty() && CStringToAnsi(text, ansi) && ansi.size() > 19) {
    const bool pair = text.size() >= 2 && text.back().isLowSurrogate() && text[text.size() - 2].isHighSurrogate();
    text.chop(pair ? 2 : 1);
  }
  return text;
}

// What the model-name box shows once the text has been put in it.
QString AnsiLimited(const QString& text, int* runs = nullptr) {
  FilteredEdit f([](QLineEdit* e) { LimitEditAnsi(e); });
  f.edit.setText(text);
  EXPECT_EQ(f.edit.cursorPosition(), f.edit.text().size());
  if (runs) *runs = f.runs;
  return f.edit.text();
}

struct AnsiCase {
  const char* name;
  QString typed;
  QString shown;
};

TEST(LimitEditAnsiTest, MultiByteSurrogateAndBoundaryCasesAsTheRepeatedDropLeavesThem) {
  const AnsiCase cases[] = {
      {"19 ASCII", Times(19, "a"), Times(19, "a")},
      {"20 ASCII", Times(20, "a"), Times(19, "a")},
      {"two-byte character fits", Times(17, "a") + kE, Times(17, "a") + kE},
      {"two-byte character over", Times(18, "a") + kE, Times(18, "a")},
      {"three-byte character fits", Times(16, "a") + kSun, Times(16, "a") + kSun},
      {"three-byte character over", Times(17, "a") + kSun, Times(17, "a")},
      {"three-byte only", Times(7, kSun), Times(6, kSun)},
      {"pair fits", Times(15, "a") + kCamera, Times(15, "a") + kCamera},
      {"pair over goes whole", Times(16, "a") + kCamera, Times(16, "a")},
      {"pair over with a tail", Times(18, "a") + kCamera + "b", Times(18, "a")},
      {"pairs only", Times(5, kCamera), Times(4, kCamera)},
      {"lone high surrogate fits", Times(18, "a") + kHigh, Times(18, "a") + kHigh},
      {"lone high surrogate over", Times(19, "a") + kHigh, Times(19, "a")},
      {"lone low surrogate stays", Times(18, "a") + kLow + "b", Times(18, "a") + kLow},
      {"lone high before a pair", Times(15, "a") + kHigh + kCamera, Times(15, "a") + kHigh},
      {"low then high is no pair", Times(18, "a") + kLow + kHigh, Times(18, "a") + kLow},
      {"NUL inside", Times(18, "a") + QChar(0) + "b", Times(18, "a") + QChar(0)},
      {"mixed", QString::fromUtf8("Kamera-\xE6\x97\xA5\xE6\x9C\xAC-") + kCamera + kE,
       QString::fromUtf8("Kamera-\xE6\x97\xA5\xE6\x9C\xAC-") + kCamera},
  };
  for (const AnsiCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(RepeatedDrop(c.typed), c.shown) << "the table itself";
    EXPECT_EQ(AnsiLimited(c.typed), c.shown);
  }
}

TEST(LimitEditAnsiTest, EveryShortTextEndsAsTheRepeatedDropLeavesIt) {
  // Texts up to 26 units of every kind of character, surrogates alone and in
  // pairs next to each other in every order, most of them near the cut.
  // The widths' edges: U+007F and U+0080, U+07FF and U+0800, U+FFFF.
  const QString pieces[] = {"a",         kE,          kSun,        kCamera,     kHigh,       kLow,
                            QChar(0),    QChar(0x7F), QChar(0x80), QChar(0x7FF), QChar(0x800), QChar(0xFFFF)};
  FilteredEdit f([](QLineEdit* e) { LimitEditAnsi(e); });
  std::mt19937 random(7);
  for (int i = 0; i < 400; ++i) {
    QString text(static_cast<qsizetype>(random() % 17), 'a');
    const int n = static_cast<int>(random() % 6);
    for (int k = 0; k < n; ++k) text += pieces[random() % std::size(pieces)];
    f.edit.clear();
    f.edit.setText(text);
    ASSERT_EQ(f.edit.text(), RepeatedDrop(text)) << "text " << i << ": " << ::testing::PrintToString(text);
  }
}

TEST(LimitEditAnsiTest, APasteOfTheBoxesLengthIsCutInOneRewrite) {
  // Up to the box's own limit (32767 units), past the conversion's working
  // buffer (32009): the first characters that fit, in one rewrite.
  const struct {
    const char* name;
    QString pasted;
    QString shown;
  } cases[] = {
      {"ASCII", QString(32767, 'm'), QString(19, 'm')},
      {"three-byte", Times(30000, kSun), Times(6, kSun)},
      {"pairs", Times(15000, kCamera), Times(4, kCamera)},
      {"a pair across the working buffer's end", Times(32008, "a") + kCamera + Times(500, "b"), Times(19, "a")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int runs = 0;
    EXPECT_EQ(AnsiLimited(c.pasted, &runs), c.shown);
    EXPECT_EQ(runs, 2);  // the paste, and the filter's own rewrite
  }
}

}  // namespace
