#pragma once
// The tables of the QR Code standard (ISO/IEC 18004, Model 2) that the encoder
// needs, as published, for the one error-correction level this program uses: Q.
#include <array>
#include <cstdint>

namespace qrtables {

inline constexpr int kMinVersion = 1;
inline constexpr int kMaxVersion = 40;

constexpr int SymbolSize(int version) { return 4 * version + 17; }

// Error-correction level Q: its two format-information bits.
inline constexpr unsigned kLevelQBits = 0b11;

// Codeword structure of one version at level Q: every block has the same
// number of error-correction codewords; the blocks of the second group hold
// one data codeword more than those of the first.
struct BlockLayout {
  int totalCodewords;
  int ecCodewordsPerBlock;
  int group1Blocks;
  int group1DataCodewords;
  int group2Blocks;
  int group2DataCodewords;

  constexpr int Blocks() const { return group1Blocks + group2Blocks; }
  constexpr int DataCodewords() const {
    return group1Blocks * group1DataCodewords + group2Blocks * group2DataCodewords;
  }
};

// Index: version - 1.
inline constexpr std::array<BlockLayout, kMaxVersion> kLevelQBlocks{{
    {  26, 13,  1,  13,  0,   0},  //  1: 13 data codewords
    {  44, 22,  1,  22,  0,   0},  //  2: 22
    {  70, 18,  2,  17,  0,   0},  //  3: 34
    { 100, 26,  2,  24,  0,   0},  //  4: 48
    { 134, 18,  2,  15,  2,  16},  //  5: 62
    { 172, 24,  4,  19,  0,   0},  //  6: 76
    { 196, 18,  2,  14,  4,  15},  //  7: 88
    { 242, 22,  4,  18,  2,  19},  //  8: 110
    { 292, 20,  4,  16,  4,  17},  //  9: 132
    { 346, 24,  6,  19,  2,  20},  // 10: 154
    { 404, 28,  4,  22,  4,  23},  // 11: 180
    { 466, 26,  4,  20,  6,  21},  // 12: 206
    { 532, 24,  8,  20,  4,  21},  // 13: 244
    { 581, 20, 11,  16,  5,  17},  // 14: 261
    { 655, 30,  5,  24,  7,  25},  // 15: 295
    { 733, 24, 15,  19,  2,  20},  // 16: 325
    { 815, 28,  1,  22, 15,  23},  // 17: 367
    { 901, 28, 17,  22,  1,  23},  // 18: 397
    { 991, 26, 17,  21,  4,  22},  // 19: 445
    {1085, 30, 15,  24,  5,  25},  // 20: 485
    {1156, 28, 17,  22,  6,  23},  // 21: 512
    {1258, 30,  7,  24, 16,  25},  // 22: 568
    {1364, 30, 11,  24, 14,  25},  // 23: 614
    {1474, 30, 11,  24, 16,  25},  // 24: 664
    {1588, 30,  7,  24, 22,  25},  // 25: 718
    {1706, 28, 28,  22,  6,  23},  // 26: 754
    {1828, 30,  8,  23, 26,  24},  // 27: 808
    {1921, 30,  4,  24, 31,  25},  // 28: 871
    {2051, 30,  1,  23, 37,  24},  // 29: 911
    {2185, 30, 15,  24, 25,  25},  // 30: 985
    {2323, 30, 42,  24,  1,  25},  // 31: 1033
    {2465, 30, 10,  24, 35,  25},  // 32: 1115
    {2611, 30, 29,  24, 19,  25},  // 33: 1171
    {2761, 30, 44,  24,  7,  25},  // 34: 1231
    {2876, 30, 39,  24, 14,  25},  // 35: 1286
    {3034, 30, 46,  24, 10,  25},  // 36: 1354
    {3196, 30, 49,  24, 10,  25},  // 37: 1426
    {3362, 30, 48,  24, 14,  25},  // 38: 1502
    {3532, 30, 43,  24, 22,  25},  // 39: 1582
    {3706, 30, 34,  24, 34,  25},  // 40: 1666
}};

inline constexpr int kMaxCodewords = 3706;
inline constexpr int kMaxBlocks = 68;
inline constexpr int kMaxEcCodewordsPerBlock = 30;

constexpr const BlockLayout& LevelQ(int version) { return kLevelQBlocks[version - 1]; }

// Centre coordinates of the alignment patterns, per version (0 ends a row).
inline constexpr int kMaxAlignmentPositions = 7;
inline constexpr std::array<std::array<uint8_t, kMaxAlignmentPositions>, kMaxVersion> kAlignmentPositions{{
    {},                                 //  1
    {6, 18},                            //  2
    {6, 22},                            //  3
    {6, 26},                            //  4
    {6, 30},                            //  5
    {6, 34},                            //  6
    {6, 22, 38},                        //  7
    {6, 24, 42},                        //  8
    {6, 26, 46},                        //  9
    {6, 28, 50},                        // 10
    {6, 30, 54},                        // 11
    {6, 32, 58},                        // 12
    {6, 34, 62},                        // 13
    {6, 26, 46, 66},                    // 14
    {6, 26, 48, 70},                    // 15
    {6, 26, 50, 74},                    // 16
    {6, 30, 54, 78},                    // 17
    {6, 30, 56, 82},                    // 18
    {6, 30, 58, 86},                    // 19
    {6, 34, 62, 90},                    // 20
    {6, 28, 50, 72, 94},                // 21
    {6, 26, 50, 74, 98},                // 22
    {6, 30, 54, 78, 102},               // 23
    {6, 28, 54, 80, 106},               // 24
    {6, 32, 58, 84, 110},               // 25
    {6, 30, 58, 86, 114},               // 26
    {6, 34, 62, 90, 118},               // 27
    {6, 26, 50, 74, 98, 122},           // 28
    {6, 30, 54, 78, 102, 126},          // 29
    {6, 26, 52, 78, 104, 130},          // 30
    {6, 30, 56, 82, 108, 134},          // 31
    {6, 34, 60, 86, 112, 138},          // 32
    {6, 30, 58, 86, 114, 142},          // 33
    {6, 34, 62, 90, 118, 146},          // 34
    {6, 30, 54, 78, 102, 126, 150},     // 35
    {6, 24, 50, 76, 102, 128, 154},     // 36
    {6, 28, 54, 80, 106, 132, 158},     // 37
    {6, 32, 58, 84, 110, 136, 162},     // 38
    {6, 26, 54, 82, 110, 138, 166},     // 39
    {6, 30, 58, 86, 114, 142, 170},     // 40
}};

// Version information (6 version bits + 12 BCH bits), versions 7 to 40.
inline constexpr int kFirstVersionWithInfo = 7;
inline constexpr std::array<uint32_t, kMaxVersion - kFirstVersionWithInfo + 1> kVersionInfo{{
    0x07C94, 0x085BC, 0x09A99, 0x0A4D3, 0x0BBF6, 0x0C762, 0x0D847, 0x0E60D, 0x0F928,  //  7-15
    0x10B78, 0x1145D, 0x12A17, 0x13532, 0x149A6, 0x15683, 0x168C9, 0x177EC, 0x18EC4,  // 16-24
    0x191E1, 0x1AFAB, 0x1B08E, 0x1CC1A, 0x1D33F, 0x1ED75, 0x1F250, 0x209D5, 0x216F0,  // 25-33
    0x228BA, 0x2379F, 0x24B0B, 0x2542E, 0x26A64, 0x27541, 0x28C69,                    // 34-40
}};

// The BCH(15,5) code of format information and its mask.
inline constexpr uint32_t kFormatGenerator = 0x537;
inline constexpr uint32_t kFormatMask = 0x5412;
constexpr uint32_t FormatInformation(unsigned levelBits, unsigned maskPattern) {
  const uint32_t data = (levelBits << 3) | maskPattern;
  uint32_t rem = data << 10;
  for (int bit = 14; bit >= 10; --bit)
    if (rem & (1u << bit)) rem ^= kFormatGenerator << (bit - 10);
  return ((data << 10) | rem) ^ kFormatMask;
}
static_assert(FormatInformation(kLevelQBits, 0) == 0x355F, "level Q, mask 0 as published");

// The four modes this encoder writes, with their mode indicators.
enum class Mode : uint8_t { Numeric, Alphanumeric, Byte, Kanji };

constexpr unsigned ModeIndicator(Mode mode) {
  switch (mode) {
    case Mode::Numeric: return 0b0001;
    case Mode::Alphanumeric: return 0b0010;
    case Mode::Byte: return 0b0100;
    case Mode::Kanji: return 0b1000;
  }
  return 0;
}
inline constexpr int kModeIndicatorBits = 4;

// Character-count indicator lengths for the version groups 1-9, 10-26, 27-40,
// indexed by group then mode (numeric, alphanumeric, 8-bit byte, Kanji).
inline constexpr int kVersionGroups = 3;
inline constexpr std::array<int, kVersionGroups> kGroupFirstVersion{1, 10, 27};
inline constexpr std::array<int, kVersionGroups> kGroupLastVersion{9, 26, 40};
inline constexpr std::array<std::array<int, 4>, kVersionGroups> kCountIndicatorBits{{
    {10, 9, 8, 8},
    {12, 11, 16, 10},
    {14, 13, 16, 12},
}};

constexpr int GroupOfVersion(int version) { return version <= 9 ? 0 : version <= 26 ? 1 : 2; }

// The alphanumeric character set in code order: value = index.
inline constexpr char kAlphanumericChars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
inline constexpr int kAlphanumericCount = 45;

// Code value of every byte in the alphanumeric set, -1 for the others.
inline constexpr std::array<int8_t, 256> kAlphanumericValue = [] {
  std::array<int8_t, 256> value{};
  value.fill(-1);
  for (int i = 0; i < kAlphanumericCount; ++i) value[static_cast<unsigned char>(kAlphanumericChars[i])] = static_cast<int8_t>(i);
  return value;
}();

constexpr int AlphanumericValue(unsigned char c) { return kAlphanumericValue[c]; }

// Pad codewords that fill the data capacity, alternately.
inline constexpr uint8_t kPadCodewords[2] = {0xEC, 0x11};

}  // namespace qrtables
