#include <gtest/gtest.h>

#include "core/util/ip_address.h"
#include "core/util/number_text.h"

namespace {

TEST(NumberText, ReadsLikeStrtolWith32BitLong) {
  const struct {
    const char* text;
    int value;
  } cases[] = {{"", 0},          {"42", 42},          {"  \t7", 7},         {"-3", -3},       {"+5", 5},
               {"81abc", 81},    {"abc", 0},          {"007", 7},           {"1 2", 1},       {"- 4", 0},
               {"2147483647", 2147483647},            {"2147483648", 2147483647},
               {"-2147483649", -2147483647 - 1},      {"99999999999999999999", 2147483647}};
  for (const auto& c : cases) {
    int v = -99;
    int64_t v64 = -99;
    EXPECT_TRUE(CStringToInt(c.text, &v, 10));
    EXPECT_TRUE(CStringToInt64(c.text, &v64, 10));
    EXPECT_EQ(v, c.value) << c.text;
    EXPECT_EQ(v64, c.value) << c.text;
  }
}

TEST(IpAddress, InetAddrSemanticsInHostOrder) {
  const struct {
    const char* text;
    uint32_t value;
  } cases[] = {{"192.168.1.10", 0xC0A8010Au}, {"0.0.0.0", 0u},           {"255.255.255.255", 0xFFFFFFFFu},
               {"10.1", 0x0A000001u},         {"0x7f.1", 0x7F000001u},   {"", 0xFFFFFFFFu},
               {"256.1.1.1", 0xFFFFFFFFu},    {"1.2.3.4.5", 0xFFFFFFFFu}, {"abc", 0xFFFFFFFFu},
               {"192.168.1.1 ", 0xC0A80101u}};
  for (const auto& c : cases) EXPECT_EQ(IpToHostOrder(c.text), c.value) << c.text;
}

}  // namespace
