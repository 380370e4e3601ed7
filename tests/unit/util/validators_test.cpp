#include <gtest/gtest.h>

#include "core/util/char_validators.h"

namespace {

struct ValidatorCase {
  const char* text;
  bool valid;
  const char* after;  // the text afterwards
};

TEST(Validators, PasswordCharacters) {
  const ValidatorCase cases[] = {
      {"Admin123", true, "Admin123"},
      {"!#$%&*+,-./:;<=>?@^_|", true, "!#$%&*+,-./:;<=>?@^_|"},
      {"", true, ""},
      {"two words", false, " "},
      {"a~b", false, "~"},
      {"a\"b", false, "\""},
      {"x'(", false, "'"},
      {"[x]", false, "["},
      {"a\\b", false, "\\"},
      {"a`b", false, "`"},
      {"{x", false, "{"},
      {"a\tb", false, "\t"},
      {"a\x7F", false, "\x7F"},
      {"caf\xC3\xA9", false, "\xC3"},
  };
  for (const auto& c : cases) {
    std::string t = c.text;
    EXPECT_EQ(IsValidPasswordChars(t), c.valid) << c.text;
    EXPECT_EQ(t, c.after) << c.text;
  }
}

TEST(Validators, TextCharacters) {
  const ValidatorCase cases[] = {
      {"IPC (front) {door} [1] ~ `x`", true, "IPC (front) {door} [1] ~ `x`"},
      {"what?", false, "?"},
      {"say \"hi\"", false, "\""},
      {"it's", false, "'"},
      {"a\\b", false, "\\"},
      {"line\nbreak", false, "\n"},
      {"\x7F", false, "\x7F"},
      {"\xE6\x97\xA5", false, "\xE6"},
  };
  for (const auto& c : cases) {
    std::string t = c.text;
    EXPECT_EQ(IsValidTextChars(t), c.valid) << c.text;
    EXPECT_EQ(t, c.after) << c.text;
  }
}

}  // namespace
