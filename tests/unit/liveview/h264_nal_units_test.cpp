// The byte stream's units and the bits of their payloads, read strictly.
#include "libs/liveview/h264_nal_units.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using liveview::h264::RbspReader;

std::optional<std::vector<Bytes>> Split(const Bytes& frame, std::size_t maxUnits = 16) {
  const auto units = liveview::h264::SplitAnnexB(frame, maxUnits);
  if (!units) return std::nullopt;
  std::vector<Bytes> out;
  for (const auto& u : *units) out.emplace_back(u.bytes.begin(), u.bytes.end());
  return out;
}

TEST(SplitAnnexB, CutsAtStartCodesAndRefusesWhatAUnitMayNotHold) {
  struct Case {
    const char* what;
    Bytes frame;
    std::optional<std::vector<Bytes>> units;
  } cases[] = {
      {"one unit", {0, 0, 1, 0x65, 0x88}, {{{0x65, 0x88}}}},
      {"four-byte start codes, zeros before the next one",
       {0, 0, 0, 1, 0x67, 0x42, 0, 0, 0, 1, 0x68, 0xCE},
       {{{0x67, 0x42}, {0x68, 0xCE}}}},
      {"leading and trailing zero bytes", {0, 0, 0, 0, 0, 1, 0x65, 0x88, 0, 0}, {{{0x65, 0x88}}}},
      {"an emulation prevention byte kept", {0, 0, 1, 0x65, 0, 0, 3, 1, 0x88}, {{{0x65, 0, 0, 3, 1, 0x88}}}},
      {"an emulation prevention byte ending the unit", {0, 0, 1, 0x65, 0, 0, 3}, {{{0x65, 0, 0, 3}}}},
      {"no start code", {0x65, 0x88, 0x99}, std::nullopt},
      {"a byte before the first start code", {0xFF, 0, 0, 1, 0x65}, std::nullopt},
      {"an empty unit", {0, 0, 1, 0, 0, 1, 0x65}, std::nullopt},
      {"00 00 02 within a unit", {0, 0, 1, 0x65, 0, 0, 2, 0x88}, std::nullopt},
      {"00 00 03 before a byte above 3", {0, 0, 1, 0x65, 0, 0, 3, 4}, std::nullopt},
      {"nothing but zeros", {0, 0, 0, 0}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Split(c.frame), c.units);
  }
}

TEST(SplitAnnexB, RefusesMoreUnitsThanAllowed) {
  Bytes frame;
  for (int i = 0; i < 5; ++i) frame.insert(frame.end(), {0, 0, 1, 0x09, 0xF0});
  EXPECT_TRUE(Split(frame, 5));
  EXPECT_FALSE(Split(frame, 4));
}

TEST(SplitAnnexB, ReadsTheHeaderAndDropsEmulationPreventionFromThePayload) {
  const Bytes frame{0, 0, 1, 0xE5, 0, 0, 3, 1, 0x88};
  const auto units = liveview::h264::SplitAnnexB(frame, 4);
  ASSERT_TRUE(units);
  ASSERT_EQ(units->size(), 1u);
  const auto& u = units->front();
  EXPECT_TRUE(u.forbiddenBit);
  EXPECT_EQ(u.refIdc, 3);
  EXPECT_EQ(u.type, 5);
  EXPECT_EQ(liveview::h264::Rbsp(u), (Bytes{0, 0, 1, 0x88}));
  EXPECT_EQ(liveview::h264::Rbsp(u, 2), (Bytes{0, 0}));
}

TEST(RbspReader, ReadsExpGolombCodesToTheirLimits) {
  // 31 zeros, a one, 31 ones: 2^32 - 2, the largest ue(v) there is.
  Bytes largest(8, 0);
  largest[3] = 0x01;
  for (int i = 4; i < 8; ++i) largest[i] = 0xFF;
  RbspReader big(largest);
  EXPECT_EQ(big.Ue(), 0xFFFFFFFEu);
  EXPECT_FALSE(big.failed());
  // 32 zeros: a code longer than 32 bits.
  const Bytes zeros{0, 0, 0, 0, 0x80, 0, 0, 0, 0};
  RbspReader longer(zeros);
  longer.Ue();
  EXPECT_TRUE(longer.failed());
  // 1, 010, 011, 00100, 00101: se(v) 0, 1, -1, 2, -2.
  const Bytes codes{0b10100110, 0b01000010, 0b10000000};
  RbspReader signs(codes);
  for (const int expected : {0, 1, -1, 2, -2}) EXPECT_EQ(signs.Se(), expected);
  EXPECT_FALSE(signs.failed());
}

TEST(RbspReader, AReadPastTheEndFailsAndStaysFailed) {
  const Bytes one{0xAB};
  RbspReader r(one);
  EXPECT_EQ(r.U(4), 0xAu);
  EXPECT_EQ(r.U(8), 0u);
  EXPECT_TRUE(r.failed());
  EXPECT_EQ(r.U(1), 0u);
  EXPECT_TRUE(r.failed());
}

TEST(RbspReader, TellsTheTrailingBitsFromData) {
  struct Case {
    const char* what;
    Bytes rbsp;
    int read;
    bool moreData, atTrailingBits;
  } cases[] = {
      {"the stop bit next", {0b10110000}, 3, false, true},
      {"data before the stop bit", {0b10110000}, 2, true, false},
      {"a stop bit in a byte before the last", {0b10000000, 0b10000000}, 0, true, false},
      {"the stop bit read as data already", {0b10000000}, 1, false, false},
      {"zero bytes after the stop bit", {0b10000000, 0}, 0, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RbspReader r(c.rbsp);
    r.U(c.read);
    EXPECT_EQ(r.MoreData(), c.moreData);
    EXPECT_EQ(r.AtTrailingBits(), c.atTrailingBits);
  }
}

}  // namespace
