// The address rules of the network dialog.
#include "ui/devicelist/network_rules.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) { return (a << 24) | (b << 16) | (c << 8) | d; }

TEST(IsMaskContiguous, Table) {
  struct {
    uint32_t mask;
    bool ok;
  } cases[] = {{Ip(255, 255, 255, 255), true}, {Ip(128, 0, 0, 0), true},   {Ip(255, 255, 255, 0), true},
               {Ip(255, 255, 254, 0), true},   {Ip(255, 0, 255, 0), false}, {Ip(255, 255, 0, 255), false},
               {Ip(0, 0, 0, 1), false},        {Ip(127, 255, 255, 255), false}, {0, true}};
  for (const auto& c : cases) EXPECT_EQ(IsMaskContiguous(c.mask), c.ok) << std::hex << c.mask;
}

TEST(DefaultMaskFor, PrivateRangesWithInclusiveBounds) {
  struct {
    uint32_t ip;
    const char* mask;
  } cases[] = {{Ip(10, 1, 2, 3), "255.0.0.0"},         {Ip(10, 0, 0, 0), "255.0.0.0"},
               {Ip(10, 255, 255, 254), "255.0.0.0"},   {Ip(10, 255, 255, 255), "0.0.0.0"},
               {Ip(172, 20, 0, 5), "255.255.0.0"},     {Ip(172, 15, 255, 255), "0.0.0.0"},
               {Ip(172, 31, 255, 254), "255.255.0.0"}, {Ip(172, 32, 0, 0), "0.0.0.0"},
               {Ip(192, 168, 1, 20), "255.255.255.0"}, {Ip(192, 168, 255, 255), "0.0.0.0"},
               {Ip(8, 8, 8, 8), "0.0.0.0"}};
  for (const auto& c : cases) EXPECT_EQ(DefaultMaskFor(c.ip), c.mask) << std::hex << c.ip;
}

TEST(DefaultGatewayFor, KeepsTheFirstThreeOctets) {
  EXPECT_EQ(DefaultGatewayFor("10.1.2.3"), "10.1.2.1");
  EXPECT_EQ(DefaultGatewayFor("172.20.0.5"), "172.20.0.1");
  EXPECT_EQ(DefaultGatewayFor("8.8.8.8"), "8.8.8.1");
}

TEST(IsNetworkInputValid, RefusalsInOrder) {
  const uint32_t mask24 = Ip(255, 255, 255, 0);
  struct {
    uint32_t ip, mask, gateway;
    bool ok;
    const char* why;
  } cases[] = {
      {Ip(192, 168, 1, 20), mask24, Ip(192, 168, 1, 1), true, "valid"},
      {0, mask24, Ip(192, 168, 1, 1), false, "ip 0"},
      {Ip(192, 168, 1, 20), 0, Ip(192, 168, 1, 1), false, "mask 0"},
      {Ip(192, 168, 1, 20), mask24, 0, false, "gateway 0"},
      {Ip(192, 168, 1, 255), mask24, Ip(192, 168, 1, 1), false, "last octet 255"},
      {Ip(192, 168, 1, 20), Ip(255, 255, 0, 255), Ip(192, 168, 1, 1), false, "mask with a hole"},
      {Ip(192, 168, 1, 20), mask24, Ip(192, 168, 2, 1), false, "gateway in another subnet"},
      {Ip(10, 1, 2, 3), Ip(255, 0, 0, 0), Ip(10, 200, 0, 1), true, "wide subnet"},
      {Ip(8, 8, 8, 8), 0, Ip(8, 8, 8, 1), false, "public ip left with mask 0.0.0.0"},
  };
  for (const auto& c : cases) EXPECT_EQ(IsNetworkInputValid(c.ip, c.mask, c.gateway), c.ok) << c.why;
}

}  // namespace
