#include <gtest/gtest.h>

#include <QString>
#include <cstring>
#include <vector>

#include "core/util/long_string_cipher.h"
#include "libs/cipher/string_cipher.h"

namespace {

TEST(StringCipher, BlockRoundTrip) {
  for (const char* plain : {"", "C0000", "0123456789ABCDEF", "\xE6\x97\xA5\xE6\x9C\xAC"}) {
    char chunk[33] = {};
    ASSERT_EQ(EncryptString(plain, chunk), 32) << plain;
    for (char c : std::string(chunk)) EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(c)));
    char out[17] = {};
    EXPECT_EQ(DecryptString(chunk, out), static_cast<int>(std::strlen(plain)));
    EXPECT_STREQ(out, plain);
  }
}

// Known answers, computed apart from this code with the OpenSSL command line:
//   { printf 'C0000'; head -c 11 /dev/zero; } |
//     openssl enc -aes-128-ecb -nopad -K 44697661726F642D437573742D496431 | xxd -p -u
// (the key is the build's fixed key, "Divarod-Cust-Id1"). The first is also
// the customer code the shipped Config.ini stores.
TEST(StringCipher, KnownAnswers) {
  const struct {
    const char* plain;
    const char* chunk;
  } cases[] = {
      {"C0000", "FEBF69125A470C340D150E1A8882234F"},
      {"0123456789ABCDEF", "045641C281A5613FB30845EDF48B03E6"},
      {"", "07028614A5CA5CAEB43FC7ECA424B68F"},
  };
  for (const auto& c : cases) {
    char chunk[33] = {};
    ASSERT_EQ(EncryptString(c.plain, chunk), 32) << c.plain;
    EXPECT_STREQ(chunk, c.chunk) << c.plain;
    char out[17] = {};
    EXPECT_EQ(DecryptString(c.chunk, out), static_cast<int>(std::strlen(c.plain))) << c.chunk;
    EXPECT_STREQ(out, c.plain) << c.chunk;
  }
}

TEST(StringCipher, LowerCaseHexDecipherToo) {
  char chunk[33] = {};
  ASSERT_EQ(EncryptString("C0000", chunk), 32);
  for (char& c : chunk) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  char out[17] = {};
  EXPECT_EQ(DecryptString(chunk, out), 5);
  EXPECT_STREQ(out, "C0000");
}

TEST(StringCipher, RefusesWhatIsNoChunk) {
  char out[17] = {};
  for (const char* bad : {"", "ABC", "0123456789abcdef0123456789abcdef0", "0123456789abcdef0123456789abcdeg"}) {
    EXPECT_EQ(DecryptString(bad, out), -1) << bad;
    EXPECT_STREQ(out, "");
  }
  char chunk[33] = "untouched";
  EXPECT_EQ(EncryptString("seventeen bytes!!", chunk), -1);
  EXPECT_STREQ(chunk, "untouched");
}

std::string Encipher(const std::string& plain) {
  std::string out;
  EXPECT_TRUE(EncryptLongString(plain, out, EncryptString));
  return out;
}

TEST(LongString, RoundTripAcrossBlocks) {
  for (const std::string plain : {"C0000", "C0000C0001C0002C0003", "日本語コード"}) {
    std::string text = Encipher(plain);
    EXPECT_EQ(text.size() % 32, 0u);
    if (QString::fromStdString(plain).size() % 5 != 0) {
      EXPECT_EQ(DecryptLongString(text, DecryptString), -1);
      continue;
    }
    EXPECT_EQ(DecryptLongString(text, DecryptString), 1);
    EXPECT_EQ(text, plain);
  }
}

TEST(LongString, RefusalsLeaveTheTextAsItWas) {
  const std::string seven = Encipher("C000000");
  const std::string cases[] = {"", std::string(33, 'A'), std::string(31, 'A'), seven};
  for (const std::string& c : cases) {
    std::string text = c;
    EXPECT_EQ(DecryptLongString(text, DecryptString), -1) << c;
    EXPECT_EQ(text, c);
  }
}

std::vector<std::string> g_calls;
int RecordingDecrypt(const char* chunk, char* output) {
  g_calls.emplace_back(chunk);
  std::strcpy(output, g_calls.size() == 1 ? "ABCDE" : "FGHIJ");
  return 5;
}

TEST(LongString, OneLibraryCallPerChunkInOrder) {
  g_calls.clear();
  const std::string first(32, '1'), second(32, '2');
  std::string text = first + second;
  EXPECT_EQ(DecryptLongString(text, RecordingDecrypt), 1);
  EXPECT_EQ(g_calls, (std::vector<std::string>{first, second}));
  EXPECT_EQ(text, "ABCDEFGHIJ");
}

TEST(LongString, ChunksThatDecipherToNothingGiveTheEmptyCode) {
  std::string text = std::string(32, 'Z') + std::string(32, 'Z');  // not hexadecimal: each block stays empty
  EXPECT_EQ(DecryptLongString(text, DecryptString), 1);
  EXPECT_EQ(text, "");
}

}  // namespace
