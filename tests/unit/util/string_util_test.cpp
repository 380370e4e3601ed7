#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/util/string_util.h"

namespace {

TEST(ReplaceAll, LeftToRightAndNotInsideTheReplacement) {
  const struct {
    const char *text, *search, *replacement, *result;
  } cases[] = {{"a\\b\\c", "\\", "/", "a/b/c"},
               {"aaa", "a", "aa", "aaaaaa"},
               {"aaaa", "aa", "b", "bb"},
               {"xyz", "q", "r", "xyz"},
               {"", "a", "b", ""}};
  for (const auto& c : cases) {
    std::string t = c.text;
    EXPECT_EQ(ReplaceAll(t, c.search, c.replacement), c.result);
  }
}

TEST(DirectoryExistsTest, OnlyForFolders) {
  QTemporaryDir dir;
  EXPECT_TRUE(DirectoryExists(dir.path().toStdString()));
  EXPECT_FALSE(DirectoryExists(dir.path().toStdString() + "/none"));
  EXPECT_FALSE(DirectoryExists("/proc/self/exe"));
}

}  // namespace
