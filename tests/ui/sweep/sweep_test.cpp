// Every window in every language: after a switch through the main window, no
// window shows a raw text key, and none keeps a text of the language it was
// switched from.
#include <gtest/gtest.h>

#include "core/language/language.h"
#include "tests/ui/sweep/shown_texts.h"
#include "tests/ui/sweep/window_catalogue.h"

namespace {

class LanguageSweep : public ::testing::TestWithParam<int> {};

TEST_P(LanguageSweep, EveryWindowShowsTheLanguageSwitchedTo) {
  const int target = GetParam();
  const int previous = target == 0 ? 1 : 0;  // the stage starts in English
  SweepStage stage;
  stage.SwitchLanguage(previous);
  stage.SwitchLanguage(target);
  const QHash<QString, QString> before = ReadLanguageFile(stage.LanguageFile(previous));
  const QHash<QString, QString> now = ReadLanguageFile(stage.LanguageFile(target));
  ASSERT_FALSE(now.isEmpty());
  QSet<QString> nowTexts;
  for (const QString& text : now) nowTexts.insert(text);

  for (const SweepWindow& window : SweepWindows()) {
    int texts = 0;
    window.open(stage.Main(), [&](QWidget& shown) {
      for (const ShownText& t : ShownTexts(shown)) {
        ++texts;
        const QStringList raw = RawKeysIn(t.text, now);
        EXPECT_TRUE(raw.isEmpty()) << window.name.toStdString() << " " << t.where.toStdString() << " shows the key "
                                   << raw.join(", ").toStdString();
        const QString key = before.key(t.text);
        EXPECT_TRUE(key.isEmpty() || nowTexts.contains(t.text))
            << window.name.toStdString() << " " << t.where.toStdString() << " still shows \"" << t.text.toStdString()
            << "\" (" << key.toStdString() << ") of " << LanguageTable[previous].fileName.toStdString();
      }
    });
    EXPECT_GT(texts, 0) << window.name.toStdString() << " was not shown";
  }
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, LanguageSweep, ::testing::Range(0, kLanguageCount),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return LanguageTable[static_cast<std::size_t>(info.param)]
                               .fileName.section('.', 0, 0)
                               .toStdString();
                         });

}  // namespace
