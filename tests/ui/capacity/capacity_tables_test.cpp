// The interpolated bit-rate curves of both standards and the resolution list
// read from Encode.ini.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <array>

#include "ui/tools/bitrate_tables.h"
#include "ui/tools/resolution_list.h"

namespace {

using Six = std::array<int, 6>;

Six RatesAt(int standard, int id, int frameRate) {
  std::array<uint16_t, 6 * kNtscTopFrameRate> curves{};
  EXPECT_TRUE(InterpolateBitrateCurves(curves.data(), standard, id));
  const int points = standard == kStandardNtsc ? kNtscTopFrameRate : kPalTopFrameRate;
  Six rates{};
  for (int level = 0; level < 6; ++level) rates[level] = curves[level * points + frameRate - 1];
  return rates;
}

TEST(BitrateCurves, InterpolatedRates) {
  const struct {
    int standard;
    int id;
    int frameRate;
    Six rates;
  } cases[] = {
      {kStandardPal, 0, 1, {95, 143, 190, 286, 381, 477}},
      {kStandardPal, 0, 5, {165, 247, 329, 494, 659, 824}},  // 164.5 rounds half up
      {kStandardPal, 0, 13, {304, 456, 607, 911, 1215, 1519}},
      {kStandardPal, 0, 25, {512, 768, 1024, 1536, 2048, 2560}},
      {kStandardPal, 1, 25, {384, 512, 768, 1024, 1536, 2048}},
      {kStandardPal, 10, 12, {573, 1145, 1718, 2291, 3436, 4582}},
      {kStandardPal, 29, 25, {3072, 4096, 6144, 8192, 12288, 16384}},
      {kStandardNtsc, 0, 1, {81, 122, 163, 244, 326, 408}},
      {kStandardNtsc, 0, 15, {289, 434, 579, 868, 1157, 1447}},
      {kStandardNtsc, 0, 30, {512, 768, 1024, 1536, 2048, 2560}},
      {kStandardNtsc, 4, 2, {12, 24, 36, 72, 84, 96}},
      {kStandardNtsc, 27, 1, {381, 572, 763, 1145, 1527, 1909}},  // NTSC rows 27-29 start at the PAL minima
      {kStandardNtsc, 29, 17, {1866, 2516, 3732, 5033, 7464, 9895}},
      {kStandardPal, 30, 1, {0, 0, 0, 0, 0, 0}},
      {kStandardPal, 31, 25, {0, 0, 0, 0, 0, 0}},
      {kStandardNtsc, 30, 30, {0, 0, 0, 0, 0, 0}},
      {kStandardNtsc, 31, 15, {0, 0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RatesAt(c.standard, c.id, c.frameRate), c.rates)
        << (c.standard == kStandardNtsc ? "NTSC" : "PAL") << " id " << c.id << " at " << c.frameRate;
}

TEST(BitrateCurves, EveryCurveRunsFromMinimumToMaximumWithoutFalling) {
  for (int standard : {kStandardPal, kStandardNtsc}) {
    const auto& table = standard == kStandardNtsc ? NtscBitrateTable : PalBitrateTable;
    const int points = standard == kStandardNtsc ? kNtscTopFrameRate : kPalTopFrameRate;
    for (int id = 0; id < kResolutionIdCount; ++id) {
      std::array<uint16_t, 6 * kNtscTopFrameRate> curves{};
      ASSERT_TRUE(InterpolateBitrateCurves(curves.data(), standard, id));
      for (int level = 0; level < 6; ++level) {
        const uint16_t* curve = curves.data() + level * points;
        EXPECT_EQ(curve[0], table[id][level]) << id << "/" << level;
        EXPECT_EQ(curve[points - 1], table[id][6 + level]) << id << "/" << level;
        for (int j = 1; j < points; ++j) EXPECT_LE(curve[j - 1], curve[j]) << id << "/" << level << " at " << j;
      }
    }
  }
}

TEST(BitrateCurves, IdWithoutTableRowLeavesTheCurvesAlone) {
  std::array<uint16_t, 6 * kPalTopFrameRate> curves;
  curves.fill(7);
  for (int id : {-1, 32, 1000}) {
    EXPECT_FALSE(InterpolateBitrateCurves(curves.data(), kStandardPal, id));
    EXPECT_EQ(curves[0], 7);
    EXPECT_EQ(curves.back(), 7);
  }
}

TEST(ResolutionList, Parsing) {
  const struct {
    const char* value;
    ResolutionMap expected;
  } cases[] = {
      {"0,NameA|1,NameB|", {{0, "NameA"}, {1, "NameB"}}},
      {"1,NameB|1,NameC|", {{1, "NameB"}}},  // the first name of an id wins
      {"", {}},
      {"9,720P|3,CIF|", {{3, "CIF"}, {9, "720P"}}},
      {" 3,CIF|\t4,QCIF|", {{3, "CIF"}, {4, "QCIF"}}},  // blanks before an id are skipped
      {"3, CIF |", {{3, " CIF "}}},                     // a name is kept as it stands
      {"+2,X|-1,Y|", {{2, "X"}}},
      {"abc,X|", {{0, "X"}}},        // no digits read as 0
      {"0,A|1,B", {{0, "A"}}},       // an entry without its bar is ignored
      {"5,A|B|", {{5, "A"}}},        // a name without an id of its own
      {"|0,A|", {{0, "A"}}},
      {"1,2,N|", {{2, "N"}}},        // the id text read last
      {"7,|", {{7, ""}}},
      {"32,A|99,B|4,C|2147483648,D|", {{4, "C"}}},  // ids without a table row
      {"0,1234567890123456789012345678901|", {{0, "1234567890123456789012345678901"}}},
      {"0,12345678901234567890123456789012|", {}},  // 32 bytes: refused
      {"0000000000000000000000000000001,A|", {{1, "A"}}},
      {"00000000000000000000000000000001,A|", {}},
      {"6,\xE9\xAB\x98\xE6\xB8\x85 1920\xC3\x97" "1080|", {{6, QString::fromUtf8("\xE9\xAB\x98\xE6\xB8\x85 1920\xC3\x97" "1080")}}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseResolutionList(QString::fromUtf8(c.value)), c.expected) << c.value;
  const ResolutionMap beforeNul{{0, "A"}};
  EXPECT_EQ(ParseResolutionList(QString::fromUtf8("0,A|1,B\0C|2,D|", 15)), beforeNul);
}

TEST(ResolutionList, ReadFromEncodeIni) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("Encode.ini");
  EXPECT_TRUE(LoadResolutionMap(path).empty()) << "missing file";

  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[OTHER]\nResolution=5,X|\n[encode]\nresolution = 0,D1(704x576)|1,HD1|  \n");
  file.close();
  const ResolutionMap expected{{0, "D1(704x576)"}, {1, "HD1"}};
  EXPECT_EQ(LoadResolutionMap(path), expected);

  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write("[ENCODE]\nOther=1\n");
  file.close();
  EXPECT_TRUE(LoadResolutionMap(path).empty()) << "no key";
}

TEST(ResolutionList, ShippedFileListsEveryTableRowButTheReservedOnes) {
  const ResolutionMap map = LoadResolutionMap(QCoreApplication::applicationDirPath() + "/Config File/Config/Encode.ini");
  ASSERT_EQ(map.size(), 30u);
  EXPECT_EQ(map.begin()->first, 0);
  EXPECT_EQ(map.rbegin()->first, 29);
}

}  // namespace
