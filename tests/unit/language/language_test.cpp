#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <thread>

#include "core/language/language.h"
#include "core/language/login_error_text.h"
#include "tests/support/late_fifo_writer.h"

namespace {

// A program folder with "Config File/Lang/" and the given language files.
class LanguageFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDir(dir_.path()).mkpath("Config File/Lang"));
    folder_ = dir_.path() + "/";
  }
  void TearDown() override { language_testing::SetReadBufferAllocator(nullptr); }
  QString WriteLang(const QString& name, const QByteArray& bytes) {
    const QString path = folder_ + "Config File/Lang/" + name;
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    return path;
  }
  QTemporaryDir dir_;
  QString folder_;
};

TEST_F(LanguageFolder, LinesBecomeTextsAsTheFileHasThem) {
  const QString path = WriteLang("t.lang",
                                 "[Other]\ntx.OK=other\n"
                                 "[String]\n"
                                 "a=1\n"
                                 "a=2\n"
                                 "x==y\n"
                                 "=empty key\n"
                                 "no equals sign\n"
                                 "tx.ok=lower case\n"
                                 "blank=\n"
                                 "spaced = text with = sign \n"
                                 "fmt=%d devices\n");
  ASSERT_TRUE(GetThreadLanguage()->LoadFile(path, 1));
  const struct {
    const char* key;
    const char* text;
  } cases[] = {
      {"a", "1"},                         // first occurrence wins
      {"x", "=y"},                        // "==": the text begins with "="
      {"", "empty key"},                  // a line that begins with "="
      {"no equals sign", "no equals sign"},  // skipped, shows as itself
      {"tx.OK", "tx.OK"},                 // only "tx.ok" is defined: keys are case-sensitive
      {"tx.ok", "lower case"},
      {"blank", "blank"},                 // empty text shows the key
      {"spaced ", " text with = sign"},   // nothing trimmed inside the line
      {"fmt", "%d devices"},
      {"missing", "missing"},
  };
  for (const auto& c : cases) EXPECT_EQ(Text(c.key), QString::fromUtf8(c.text)) << c.key;
}

TEST_F(LanguageFolder, SwitchFallsBackToEnglishAndSkipsTheLoadedFile) {
  WriteLang("eng.lang", "[String]\ntx.OK=OK\n");
  WriteLang("It.lang", "[String]\ntx.OK=Va bene\n");
  CLanguage* language = GetThreadLanguage();
  language->LoadFile("", 1);

  SwitchLanguage(5, folder_);  // Jp.lang is missing
  EXPECT_EQ(language->CurrentPath(), folder_ + "Config File/Lang/eng.lang");
  EXPECT_EQ(Text("tx.OK"), "OK");

  SwitchLanguage(3, folder_);
  EXPECT_EQ(Text("tx.OK"), "Va bene");

  // The same language again does not reread, even after the file changed.
  const int reads = language_testing::FileReadCount();
  WriteLang("It.lang", "[String]\ntx.OK=Cambiato\n");
  SwitchLanguage(3, folder_);
  EXPECT_EQ(language_testing::FileReadCount(), reads);
  EXPECT_EQ(Text("tx.OK"), "Va bene");

  // Indexes outside the table change nothing.
  SwitchLanguage(26, folder_);
  SwitchLanguage(-1, folder_);
  EXPECT_EQ(language_testing::FileReadCount(), reads);
  EXPECT_EQ(Text("tx.OK"), "Va bene");
}

TEST_F(LanguageFolder, NoFileAtAllLeavesEveryKeyShowingAsItself) {
  WriteLang("x.lang", "[String]\ntx.OK=x\n");
  GetThreadLanguage()->LoadFile(folder_ + "Config File/Lang/x.lang", 1);
  SwitchLanguage(7, folder_);  // neither Fr.lang nor eng.lang
  EXPECT_EQ(Text("tx.OK"), "tx.OK");
}

// A FIFO or a device where the language's file is expected counts as a
// missing file: the switch loads "eng.lang" at once and never waits on it.
TEST_F(LanguageFolder, FifoOrDeviceInsteadOfTheFileFallsBackToEnglishAtOnce) {
  WriteLang("eng.lang", "[String]\ntx.OK=OK\n");
  WriteLang("It.lang", "[String]\ntx.OK=Va bene\n");
  CLanguage* language = GetThreadLanguage();
  SwitchLanguage(3, folder_);
  ASSERT_EQ(Text("tx.OK"), "Va bene");

  testsupport::LateFifoWriter fifo(QFile::encodeName(folder_ + "Config File/Lang/Jp.lang").toStdString());
  ASSERT_TRUE(fifo.made());
  EXPECT_TRUE(fifo.ReturnsBeforeAWriter([&] { SwitchLanguage(5, folder_); }));
  EXPECT_EQ(language->CurrentPath(), folder_ + "Config File/Lang/eng.lang");
  EXPECT_EQ(Text("tx.OK"), "OK");

  SwitchLanguage(3, folder_);
  ASSERT_TRUE(QFile::link("/dev/null", folder_ + "Config File/Lang/Ru.lang"));
  SwitchLanguage(6, folder_);
  EXPECT_EQ(language->CurrentPath(), folder_ + "Config File/Lang/eng.lang");
  EXPECT_EQ(Text("tx.OK"), "OK");

  // Loaded by its path, the FIFO reads as an empty file, at once.
  EXPECT_TRUE(fifo.ReturnsBeforeAWriter([&] { language->LoadFile(QString::fromStdString(fifo.path()), 1); }));
  EXPECT_EQ(Text("tx.OK"), "tx.OK");
}

TEST_F(LanguageFolder, WorkerThreadSeesTheNewLanguageWithoutLoading) {
  WriteLang("It.lang", "[String]\ntx.success=Riuscito\n");
  SwitchLanguage(3, folder_);
  const int reads = language_testing::FileReadCount();
  QString seen;
  CLanguage* workerLanguage = nullptr;
  std::thread worker([&] {
    workerLanguage = GetThreadLanguage();
    seen = workerLanguage->GetText("tx.success");
  });
  worker.join();
  EXPECT_EQ(seen, "Riuscito");
  EXPECT_NE(workerLanguage, GetThreadLanguage());
  EXPECT_TRUE(workerLanguage->CurrentPath().isEmpty());
  EXPECT_EQ(language_testing::FileReadCount(), reads);
}

TEST_F(LanguageFolder, SameThreadGetsTheSameObject) { EXPECT_EQ(GetThreadLanguage(), GetThreadLanguage()); }

TEST_F(LanguageFolder, NoBufferKeepsTheOldTextsButRecordsThePath) {
  const QString it = WriteLang("It.lang", "[String]\ntx.OK=Va bene\n");
  const QString ge = WriteLang("Ge.lang", "[String]\ntx.OK=Gut\n");
  CLanguage* language = GetThreadLanguage();
  ASSERT_TRUE(language->LoadFile(it, 1));
  language_testing::SetReadBufferAllocator([](std::size_t) -> char16_t* { return nullptr; });
  EXPECT_FALSE(language->LoadFile(ge, 0));
  EXPECT_EQ(Text("tx.OK"), "Va bene");
  EXPECT_EQ(language->CurrentPath(), ge);
  EXPECT_TRUE(language->LoadFile(ge, 0));  // skipped: same path, no force
  EXPECT_EQ(Text("tx.OK"), "Va bene");
  language_testing::SetReadBufferAllocator(nullptr);
  EXPECT_TRUE(language->LoadFile(ge, 1));
  EXPECT_EQ(Text("tx.OK"), "Gut");
}

TEST_F(LanguageFolder, Utf16LeFileLoads) {
  const QString text = "[String]\r\ntx.OK=確定\r\n";
  QByteArray bytes("\xFF\xFE", 2);
  for (QChar c : text) bytes.append(static_cast<char>(c.unicode() & 0xFF)).append(static_cast<char>(c.unicode() >> 8));
  GetThreadLanguage()->LoadFile(WriteLang("Cht.lang", bytes), 1);
  EXPECT_EQ(Text("tx.OK"), "確定");
}

TEST_F(LanguageFolder, SectionLargerThanTheBufferLoadsTheLinesBeforeTheCut) {
  QByteArray bytes = "[String]\nfirst=1\n";
  const QByteArray filler(1000, 'f');
  for (int i = 0; i < 1100; ++i) bytes += "k" + QByteArray::number(i) + "=" + filler + "\n";
  bytes += "last=1\n";
  GetThreadLanguage()->LoadFile(WriteLang("big.lang", bytes), 1);
  EXPECT_EQ(Text("first"), "1");
  EXPECT_EQ(Text("k1000"), filler);
  EXPECT_EQ(Text("last"), "last");
}

TEST_F(LanguageFolder, LookupsOnOtherThreadsDuringReloadsSeeWholeDictionaries) {
  const QString a = WriteLang("a.lang", "[String]\nk=A\nj=A\n");
  const QString b = WriteLang("b.lang", "[String]\nk=B\nj=B\n");
  std::atomic<bool> stop{false};
  std::atomic<int> bad{0};
  std::thread reader([&] {
    while (!stop) {
      const QString t = Text("k");
      if (t != "A" && t != "B" && t != "k") ++bad;
    }
  });
  for (int i = 0; i < 200; ++i) GetThreadLanguage()->LoadFile(i % 2 ? a : b, 1);
  stop = true;
  reader.join();
  EXPECT_EQ(bad, 0);
}

TEST(LanguageTableRows, FileNamesAndDisplayNamesAsShipped) {
  EXPECT_EQ(LanguageTable[0].fileName, "eng.lang");
  EXPECT_EQ(LanguageTable[2].fileName, "Cht.lang");
  EXPECT_EQ(LanguageTable[2].displayName, "繁体中文");
  EXPECT_EQ(LanguageTable[10].code, "Tu");
  EXPECT_EQ(LanguageTable[10].fileName, "Tr.lang");
  EXPECT_EQ(LanguageTable[17].fileName, "fa.lang");
  for (int i = 0; i < kLanguageCount; ++i) EXPECT_EQ(LanguageTable[static_cast<std::size_t>(i)].id, i);
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
