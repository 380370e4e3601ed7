#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/language/language.h"
#include "core/util/char_validators.h"
#include "core/util/login_error_text.h"

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

TEST(LoginErrorTexts, KeyPerLibraryCode) {
  QTemporaryDir dir;
  QDir(dir.path()).mkpath("Config File/Lang");
  QFile f(dir.path() + "/Config File/Lang/eng.lang");
  f.open(QIODevice::WriteOnly);
  f.write("[String]\ninfo.login_password_err=PW\ninfo.login_user_no_exist=NOUSER\ninfo.login_timeout=TIMEOUT\n"
          "info.login_repeat=REPEAT\ninfo.login_user_lock=LOCK\ninfo.login_user_blacklist=BLACK\n"
          "info.login_sys_busy=BUSY\ninfo.login_con_host=HOST\nK0008_OtherErrors=OTHER\n");
  f.close();
  GetThreadLanguage()->LoadFile(dir.path() + "/Config File/Lang/eng.lang", 1);
  const char* expected[kLoginErrorTextCount] = {"PW",    "",     "PW", "NOUSER", "TIMEOUT", "REPEAT", "LOCK",
                                                "BLACK", "BUSY", "",   "HOST",   "",        "OTHER"};
  for (int index = 0; index < kLoginErrorTextCount; ++index) {
    QString text;
    EXPECT_EQ(LoginErrorText(text, index), 1);
    EXPECT_EQ(text, expected[index]) << "library code " << index - 1;
  }
  QString kept = "kept";
  LoginErrorText(kept, 9);
  EXPECT_EQ(kept, "kept");
  LoginErrorText(kept, 13);
  EXPECT_EQ(kept, "kept");
  GetThreadLanguage()->LoadFile("", 1);
}

}  // namespace
