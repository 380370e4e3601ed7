#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "core/device/device_record.h"
#include "core/device/sdk_device_info.h"

namespace {

using Buffer = std::array<uint8_t, sdkinfo::kRecordSize>;

void PutText(Buffer& b, std::size_t offset, const std::string& s) { std::memcpy(b.data() + offset, s.data(), s.size()); }
void PutLe(Buffer& b, std::size_t offset, int bytes, uint32_t v) {
  for (int i = 0; i < bytes; ++i) b[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

Buffer SampleBuffer() {
  Buffer b{};
  PutText(b, 0, "192.168.1.10");
  PutLe(b, 16, 2, 34567);
  PutText(b, 20, "255.255.255.0");
  PutText(b, 36, "192.168.1.1");
  PutText(b, 52, "00:12:34:ab:cd:ef");
  PutText(b, 92, "IPC");
  PutText(b, 156, "C0001");
  b[164] = 0x09;
  PutText(b, 168, "8.8.8.8");
  PutText(b, 184, "8.8.4.4");
  PutText(b, 200, "DV-2040");
  PutText(b, 220, "CLOUD1234");
  PutText(b, 284, "V4.2.1 Build:20261001");
  PutLe(b, 316, 4, 0);
  PutText(b, 320, "2026-12-10 08:00:00");
  PutText(b, 352, "2026-10-01");
  PutText(b, 384, "2026-12-09 07:00:00");
  b[416] = 2;
  PutLe(b, 420, 2, 8080);
  return b;
}

TEST(SdkDeviceInfo, ReadsEveryFieldAtItsOffset) {
  const Buffer b = SampleBuffer();
  const DeviceRecord r = sdkinfo::ReadRecord(b);
  EXPECT_TRUE(r.valid);
  EXPECT_EQ(r.ip, "192.168.1.10");
  EXPECT_EQ(r.tcpPort, 34567);
  EXPECT_EQ(r.netmask, "255.255.255.0");
  EXPECT_EQ(r.gateway, "192.168.1.1");
  EXPECT_EQ(r.mac, "00:12:34:ab:cd:ef");
  EXPECT_EQ(r.type, "IPC");
  EXPECT_EQ(r.customerCode, "C0001");
  EXPECT_EQ(r.capabilities, 0x09);
  EXPECT_TRUE(r.CanRenameModel());
  EXPECT_TRUE(r.UsesAuthenticatedNetworkChange());
  EXPECT_EQ(r.dns1, "8.8.8.8");
  EXPECT_EQ(r.dns2, "8.8.4.4");
  EXPECT_EQ(r.model, "DV-2040");
  EXPECT_EQ(r.cloudId, "CLOUD1234");
  EXPECT_EQ(r.version, "V4.2.1 Build:20261001");
  EXPECT_EQ(r.devTime, "2026-12-10 08:00:00");
  EXPECT_EQ(r.releaseTime, "2026-10-01");
  EXPECT_EQ(r.devStartTime, "2026-12-09 07:00:00");
  EXPECT_EQ(r.dhcpMode, 2);
  EXPECT_EQ(r.httpPort, 8080);
  EXPECT_EQ(r.loginHandle, 0);
  EXPECT_EQ(r.loggedIn, 0);
  EXPECT_TRUE(r.userName.empty());
}

struct KindCase {
  uint32_t kind;
  uint8_t onvifCapable;
  uint16_t onvifPort;
};

// Readable test names (the default prints the struct's bytes).
void PrintTo(const KindCase& c, std::ostream* os) { *os << "kind 0x" << std::hex << c.kind; }

class KindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(KindTest, OnvifFollowsKind) {
  Buffer b = SampleBuffer();
  PutLe(b, 420, 2, 80);
  PutLe(b, 316, 4, GetParam().kind);
  const DeviceRecord r = sdkinfo::ReadRecord(b);
  EXPECT_EQ(r.kind, static_cast<int32_t>(GetParam().kind));
  EXPECT_EQ(r.onvifCapable, GetParam().onvifCapable);
  EXPECT_EQ(r.onvifPort, GetParam().onvifPort);
}

INSTANTIATE_TEST_SUITE_P(Kinds, KindTest,
                         ::testing::Values(KindCase{0, 1, 80}, KindCase{1, 0, 0}, KindCase{0x01000000, 0, 0}));

struct TextSpanCase {
  std::size_t offset;
  std::size_t span;
  std::string DeviceRecord::*field;
};

void PrintTo(const TextSpanCase& c, std::ostream* os) { *os << "offset " << c.offset << " span " << c.span; }

class UnterminatedTextTest : public ::testing::TestWithParam<TextSpanCase> {};

// A text that fills its whole span without a NUL is read in full and never
// runs into the next field.
TEST_P(UnterminatedTextTest, ReadsFullSpanOnly) {
  Buffer b{};
  std::fill(b.begin(), b.end(), 'x');
  const auto& c = GetParam();
  std::fill_n(b.begin() + c.offset, c.span, 'A');
  // Make the numbers harmless; what matters is the text span.
  const DeviceRecord r = sdkinfo::ReadRecord(b);
  EXPECT_EQ(r.*(c.field), std::string(c.span, 'A'));
}

INSTANTIATE_TEST_SUITE_P(
    Spans, UnterminatedTextTest,
    ::testing::Values(TextSpanCase{0, 16, &DeviceRecord::ip}, TextSpanCase{20, 16, &DeviceRecord::netmask},
                      TextSpanCase{36, 16, &DeviceRecord::gateway}, TextSpanCase{52, 40, &DeviceRecord::mac},
                      TextSpanCase{92, 64, &DeviceRecord::type}, TextSpanCase{156, 8, &DeviceRecord::customerCode},
                      TextSpanCase{168, 16, &DeviceRecord::dns1}, TextSpanCase{184, 16, &DeviceRecord::dns2},
                      TextSpanCase{200, 20, &DeviceRecord::model}, TextSpanCase{220, 64, &DeviceRecord::cloudId},
                      TextSpanCase{284, 32, &DeviceRecord::version}, TextSpanCase{320, 32, &DeviceRecord::devTime},
                      TextSpanCase{352, 32, &DeviceRecord::releaseTime},
                      TextSpanCase{384, 32, &DeviceRecord::devStartTime}));

TEST(SdkDeviceInfo, EmptyModelReadsPlaceholder) {
  Buffer b = SampleBuffer();
  std::memset(b.data() + 200, 0, 20);
  EXPECT_EQ(sdkinfo::ReadRecord(b).model, "-- --");
}

TEST(SdkDeviceInfo, WriteThenReadRoundTrips) {
  const DeviceRecord original = sdkinfo::ReadRecord(SampleBuffer());
  Buffer out{};
  sdkinfo::WriteRecord(original, out);
  EXPECT_EQ(out, SampleBuffer());
}

TEST(DeviceMap, RepeatedMacKeepsFirstRecord) {
  DeviceMap map;
  DeviceRecord a1, b, a2;
  a1.mac = "aa";
  a1.ip = "10.0.0.1";
  b.mac = "bb";
  a2.mac = "aa";
  a2.ip = "10.0.0.2";
  EXPECT_TRUE(InsertFirstByMac(map, a1));
  EXPECT_TRUE(InsertFirstByMac(map, b));
  EXPECT_FALSE(InsertFirstByMac(map, a2));
  ASSERT_EQ(map.size(), 2u);
  EXPECT_EQ(map.at("aa").ip, "10.0.0.1");
}

TEST(DeviceMap, OrdersMacsByteWise) {
  DeviceMap map;
  for (const char* mac : {"a0:00", "A0:00", "00:ff", "0a:00"}) {
    DeviceRecord r;
    r.mac = mac;
    InsertFirstByMac(map, r);
  }
  std::vector<std::string> order;
  for (const auto& [mac, rec] : map) order.push_back(mac);
  EXPECT_EQ(order, (std::vector<std::string>{"00:ff", "0a:00", "A0:00", "a0:00"}));
}

}  // namespace
