#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

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

}  // namespace
