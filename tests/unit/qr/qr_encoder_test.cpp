// The encoder judged by a real decoder: every symbol is rendered, read back by
// zbar and must give exactly the bytes that went in, with its format
// information saying level Q, mask 0.
#include "core/qr/qr_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/qr/reed_solomon.h"
#include "tests/unit/qr/zbar_judge.h"

// Readable runs in failure messages (found by argument-dependent lookup).
void PrintTo(const QrEncoder::Run& run, std::ostream* os) {
  static const char* const names[] = {"numeric", "alphanumeric", "byte", "kanji"};
  *os << names[static_cast<int>(run.mode)] << ":" << run.length;
}

namespace {

using Mode = QrEncoder::Mode;

class QrEncoderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { judge_ = new ZbarJudge; }
  static void TearDownTestSuite() {
    delete judge_;
    judge_ = nullptr;
  }

  // Encodes with `minimum`, decodes the rendered symbol and checks the format
  // information; returns the version used (0 when encoding failed).
  int RoundTrip(const std::string& text, int minimum = 1) {
    int version = minimum;
    if (!encoder_->EncodeData(text.c_str(), version)) {
      ADD_FAILURE() << "not encoded: " << text.size() << " bytes";
      return 0;
    }
    EXPECT_EQ(version, encoder_->Version());
    EXPECT_EQ(encoder_->SymbolSize(), 4 * version + 17);
    const auto decoded = judge_->Decode(RenderSymbol(*encoder_, encoder_->SymbolSize() > 100 ? 2 : 3));
    EXPECT_TRUE(decoded.has_value()) << "zbar found no code for " << text.size() << " bytes, version " << version;
    if (decoded) {
      EXPECT_EQ(*decoded, text) << "version " << version;
    }
    const FormatReading format = ReadFormatInformation(*encoder_);
    EXPECT_TRUE(format.valid);
    EXPECT_EQ(format.levelBits, 0b11u) << "level Q";
    EXPECT_EQ(format.mask, 0u);
    return version;
  }

  std::vector<QrEncoder::Run> Runs() const {
    std::vector<QrEncoder::Run> runs;
    for (int i = 0; i < encoder_->RunCount(); ++i) runs.push_back(encoder_->RunAt(i));
    return runs;
  }

  static ZbarJudge* judge_;
  std::unique_ptr<QrEncoder> encoder_ = std::make_unique<QrEncoder>();
};
ZbarJudge* QrEncoderTest::judge_ = nullptr;

struct SegmentationCase {
  const char* name;
  std::string text;
  std::vector<QrEncoder::Run> runs;
};

TEST_F(QrEncoderTest, SegmentsAndMergesRunsAsTheRulesSay) {
  const std::string kanji6 = "\x88\x9f\x93\xfa\x96\x7b\x8c\xea\x8a\xbf\x8e\x9a";
  const std::vector<SegmentationCase> cases = {
      {"digits only: one numeric run", "0123456789", {{Mode::Numeric, 10}}},
      {"letters then digits: one alphanumeric run", "AB12", {{Mode::Alphanumeric, 4}}},
      {"digit between letters: joined", "AB1CD", {{Mode::Alphanumeric, 5}}},
      {"lower-case: 8-bit", "hello", {{Mode::Byte, 5}}},
      {"alphanumeric before digits goes to the 8-bit run in front", "abC1234", {{Mode::Byte, 3}, {Mode::Numeric, 4}}},
      {"alphanumeric after digits joins the 8-bit run behind", "1234Cab", {{Mode::Numeric, 4}, {Mode::Byte, 3}}},
      {"front join on a tie with the alphanumeric merge", "aBCD1234", {{Mode::Byte, 4}, {Mode::Numeric, 4}}},
      {"behind join on a tie with the alphanumeric merge", "1234BCDa", {{Mode::Numeric, 4}, {Mode::Byte, 4}}},
      {"short numeric between 8-bit runs: one 8-bit run", "a1b", {{Mode::Byte, 3}}},
      {"long numeric tail stays numeric", "abc123456789", {{Mode::Byte, 3}, {Mode::Numeric, 9}}},
      {"mixed text", "hello world 123", {{Mode::Byte, 12}, {Mode::Numeric, 3}}},
      {"Kanji pairs", kanji6, {{Mode::Kanji, 12}}},
      {"one Kanji character between letters: bytes", "a\x88\x9f" "b", {{Mode::Byte, 4}}},
      {"Kanji range ends", "\x81\x40\x9f\xfc\xe0\x40\xeb\xbf", {{Mode::Kanji, 8}}},
      {"not Kanji: past the range ends", "\x9f\xfd\xeb\xc0\x81\x3f", {{Mode::Byte, 6}}},
      {"a lead byte at the end is a byte", kanji6 + "\x88", {{Mode::Kanji, 12}, {Mode::Byte, 1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RoundTrip(c.text);
    EXPECT_EQ(Runs(), c.runs);
  }
}

TEST_F(QrEncoderTest, ShortTextAtMinimumFourIsThirtyThreeModules) {
  EXPECT_EQ(RoundTrip("abc123def4", 4), 4);
  EXPECT_EQ(encoder_->SymbolSize(), 33);
  // Bytes beyond the symbol stay 0; inside every byte is 0 or 1.
  for (int x = 0; x < QrEncoder::kMaxModules; ++x)
    for (int y = 0; y < QrEncoder::kMaxModules; ++y) {
      const uint8_t m = encoder_->Matrix()[x][y];
      if (x >= 33 || y >= 33) ASSERT_EQ(m, 0) << x << "," << y;
      else ASSERT_LE(m, 1) << x << "," << y;
    }
}

TEST_F(QrEncoderTest, RaisesTheCallersVersionWhenTheTextNeedsMore) {
  EXPECT_EQ(RoundTrip(std::string(70, 'x'), 4), 6);
  EXPECT_EQ(encoder_->SymbolSize(), 41);
  EXPECT_EQ(RoundTrip("short", 12), 12) << "a larger minimum is kept";
  EXPECT_EQ(RoundTrip("short", 40), 40);
}

TEST_F(QrEncoderTest, RefusesWhatCannotBeEncoded) {
  int version = 4;
  EXPECT_FALSE(encoder_->EncodeData("", version));
  EXPECT_FALSE(encoder_->EncodeData(nullptr, version));
  EXPECT_FALSE(encoder_->EncodeData(std::string(1700, 'a').c_str(), version)) << "1,700 lower-case letters";
  EXPECT_FALSE(encoder_->EncodeData(std::string(100000, '1').c_str(), version)) << "far beyond any capacity";
  for (int bad : {0, -3, 41, 1000}) {
    version = bad;
    EXPECT_FALSE(encoder_->EncodeData("abc", version)) << bad;
    EXPECT_EQ(version, bad);
  }
  EXPECT_EQ(version, 1000) << "unchanged on failure";
  version = 4;
  EXPECT_FALSE(encoder_->EncodeData(std::string(1700, 'a').c_str(), version));
  EXPECT_EQ(version, 4);
}

TEST_F(QrEncoderTest, SeventeenHundredDigitsFitInNumericMode) {
  // 16 + 4 + 566 x 10 + 7 bits: 711 codewords, version 25.
  EXPECT_EQ(RoundTrip(std::string(1700, '7'), 4), 25);
  EXPECT_EQ(Runs(), (std::vector<QrEncoder::Run>{{Mode::Numeric, 1700}}));
}

TEST_F(QrEncoderTest, TextIsTakenUpToItsFirstNul) {
  int version = 1;
  ASSERT_TRUE(encoder_->EncodeData("ABC\0def", version));
  EXPECT_EQ(Runs(), (std::vector<QrEncoder::Run>{{Mode::Alphanumeric, 3}}));
}

// Every length of one mode from 1 to the version-40 capacity at level Q: each
// encodes in the smallest version its stream fits, versions never go down,
// and both sides of every version step decode. One case a mode: each is
// thousands of symbols up to version 40, which under the sanitizers takes
// long enough on its own.
struct CapacityCase {
  const char* name;
  char (*character)(int index);
  int capacity;  // characters at version 40, level Q, as published
};

void PrintTo(const CapacityCase& c, std::ostream* os) { *os << c.name; }

class CapacityInOneMode : public QrEncoderTest, public ::testing::WithParamInterface<CapacityCase> {};

TEST_P(CapacityInOneMode, EveryLengthUpToVersionFortyCapacity) {
  const CapacityCase& c = GetParam();
  std::string text;
  int previousVersion = 0;
  std::string previousText;
  for (int length = 1; length <= c.capacity + 1; ++length) {
    text += c.character(length);
    int version = 1;
    const bool ok = encoder_->EncodeData(text.c_str(), version);
    if (length == c.capacity + 1) {
      EXPECT_FALSE(ok) << "one past the published capacity";
      break;
    }
    ASSERT_TRUE(ok) << length;
    ASSERT_EQ(encoder_->RunCount(), 1);
    const int dataBytes = (encoder_->StreamBits() + 7) / 8;
    ASSERT_GE(qrtables::LevelQ(version).DataCodewords(), dataBytes);
    const int groupStart = version <= 9 ? 1 : version <= 26 ? 10 : 27;
    if (version > groupStart) {
      ASSERT_LT(qrtables::LevelQ(version - 1).DataCodewords(), dataBytes) << "smallest version";
    }
    ASSERT_GE(version, previousVersion);
    if (version != previousVersion || length == 1 || length == c.capacity) {
      if (length > 1) {
        EXPECT_EQ(RoundTrip(previousText), previousVersion) << length - 1;
      }
      EXPECT_EQ(RoundTrip(text), version) << length;
    }
    previousVersion = version;
    previousText = text;
  }
  EXPECT_EQ(previousVersion, 40);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, CapacityInOneMode,
    ::testing::Values(CapacityCase{"numeric", [](int i) { return static_cast<char>('0' + (i * 7) % 10); }, 3993},
                      CapacityCase{"alphanumeric", [](int i) { return qrtables::kAlphanumericChars[(i * 11) % 45]; },
                                   2420},
                      CapacityCase{"byte", [](int i) { return static_cast<char>('a' + (i * 5) % 26); }, 1663}),
    [](const ::testing::TestParamInfo<CapacityCase>& info) { return std::string(info.param.name); });

TEST_F(QrEncoderTest, KanjiUpToVersionFortyCapacity) {
  std::string text;
  for (int i = 0; i < 1024; ++i) {
    const unsigned char lead = static_cast<unsigned char>(0x88 + i % 8);
    const unsigned char trail = static_cast<unsigned char>(0x9F + i % 64);
    text += static_cast<char>(lead);
    text += static_cast<char>(trail);
  }
  EXPECT_EQ(RoundTrip(text), 40);
  EXPECT_EQ(Runs(), (std::vector<QrEncoder::Run>{{Mode::Kanji, 2048}}));
  int version = 1;
  EXPECT_FALSE(encoder_->EncodeData((text + "\x88\x9f").c_str(), version));
}

// Seeded random texts mixing every mode, Kanji pairs, high and control bytes.
TEST_F(QrEncoderTest, RandomMixedTextsDecodeExactly) {
  std::mt19937 rng(18004);
  const std::string upper = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const int segments = 1 + pick(6);
    for (int s = 0; s < segments; ++s) {
      const int n = 1 + pick(round < 1500 ? 8 : 40);
      const int kind = pick(6);
      for (int i = 0; i < n; ++i) {
        switch (kind) {
          case 0: text += static_cast<char>('0' + pick(10)); break;
          case 1: text += upper[pick(45)]; break;
          case 2: text += static_cast<char>('a' + pick(26)); break;
          case 3:
            text += static_cast<char>(pick(2) ? 0x81 + pick(31) : 0xE0 + pick(12));
            text += static_cast<char>(0x40 + pick(0xBC - (pick(4) == 0 ? 0 : 0x40)) + (pick(2) ? 0 : 0x01));
            break;
          case 4: text += static_cast<char>(0x80 + pick(128)); break;
          default: text += static_cast<char>(1 + pick(126)); break;
        }
      }
    }
    SCOPED_TRACE(round);
    RoundTrip(text, 1 + pick(8));
    if (HasFailure()) break;
  }
}

// Finder patterns with separators, timing patterns, the dark module and, from
// version 7, both copies of the version information, read from the matrix.
TEST_F(QrEncoderTest, FunctionPatternsStandWhereTheStandardPutsThem) {
  for (int minimum : {1, 6, 7, 22, 40}) {
    SCOPED_TRACE(minimum);
    const int version = RoundTrip("FUNCTION PATTERNS", minimum);
    const int size = encoder_->SymbolSize();
    auto finderAt = [&](int left, int top) {
      for (int dy = -1; dy <= 7; ++dy)
        for (int dx = -1; dx <= 7; ++dx) {
          const int x = left + dx, y = top + dy;
          if (x < 0 || y < 0 || x >= size || y >= size) continue;
          const int ring = std::max(std::abs(dx - 3), std::abs(dy - 3));
          ASSERT_EQ(encoder_->IsDark(x, y), ring != 2 && ring != 4) << x << "," << y;
        }
    };
    finderAt(0, 0);
    finderAt(size - 7, 0);
    finderAt(0, size - 7);
    for (int i = 8; i < size - 8; ++i) {
      ASSERT_EQ(encoder_->IsDark(i, 6), i % 2 == 0) << i;
      ASSERT_EQ(encoder_->IsDark(6, i), i % 2 == 0) << i;
    }
    EXPECT_TRUE(encoder_->IsDark(8, size - 8));
    if (version >= 7) {
      uint32_t topRight = 0, bottomLeft = 0;
      for (int i = 0; i < 18; ++i) {
        topRight |= (encoder_->IsDark(size - 11 + i % 3, i / 3) ? 1u : 0u) << i;
        bottomLeft |= (encoder_->IsDark(i / 3, size - 11 + i % 3) ? 1u : 0u) << i;
      }
      EXPECT_EQ(topRight >> 12, static_cast<uint32_t>(version));
      EXPECT_EQ(topRight, bottomLeft);
    }
  }
}

TEST_F(QrEncoderTest, ReedSolomonMatchesThePublishedExample) {
  // "01234567" at version 1-M: the standard's worked example.
  const uint8_t data[16] = {0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11};
  const uint8_t expected[10] = {0xA5, 0x24, 0xD4, 0xC1, 0xED, 0x36, 0xC7, 0x87, 0x2C, 0x55};
  uint8_t ec[10];
  reedsolomon::ComputeCodewords(data, 16, 10, ec);
  EXPECT_EQ(std::vector<uint8_t>(ec, ec + 10), std::vector<uint8_t>(expected, expected + 10));
}

TEST_F(QrEncoderTest, VersionInformationTableIsTheBchCode) {
  for (int v = qrtables::kFirstVersionWithInfo; v <= qrtables::kMaxVersion; ++v) {
    uint32_t rem = static_cast<uint32_t>(v) << 12;
    for (int bit = 17; bit >= 12; --bit)
      if (rem & (1u << bit)) rem ^= 0x1F25u << (bit - 12);
    EXPECT_EQ(qrtables::kVersionInfo[v - qrtables::kFirstVersionWithInfo], static_cast<uint32_t>(v) << 12 | rem) << v;
  }
}

TEST_F(QrEncoderTest, BlockTablesAddUp) {
  for (int v = 1; v <= qrtables::kMaxVersion; ++v) {
    const auto& l = qrtables::LevelQ(v);
    EXPECT_EQ(l.DataCodewords() + l.Blocks() * l.ecCodewordsPerBlock, l.totalCodewords) << v;
    if (l.group2Blocks > 0) {
      EXPECT_EQ(l.group2DataCodewords, l.group1DataCodewords + 1) << v;
    }
  }
  EXPECT_EQ(qrtables::LevelQ(40).DataCodewords(), 1666);
}

}  // namespace
