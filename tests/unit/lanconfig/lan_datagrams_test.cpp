// Byte layouts of the datagrams the program sends, and its checks of what
// comes back. Expected bytes are written out here, not taken from the encoder.
#include "core/lanconfig/lan_datagrams.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/device/device_record.h"

namespace lanconfig {
namespace {

DeviceRecord Request() {
  DeviceRecord r;
  r.mac = "00:1a:2B:3c:4D:5e";
  r.ip = "192.168.1.10";
  r.gateway = "192.168.1.1";
  r.netmask = "255.255.255.0";
  r.dns1 = "8.8.8.8";
  r.dns2 = "1.0.0.1";
  r.dhcpMode = 2;
  r.password = "secret";
  return r;
}

std::vector<uint8_t> Bytes(std::initializer_list<int> list) {
  std::vector<uint8_t> v;
  for (int b : list) v.push_back(static_cast<uint8_t>(b));
  return v;
}

std::vector<uint8_t> Slice(const uint8_t* data, size_t from, size_t count) {
  return std::vector<uint8_t>(data + from, data + from + count);
}

TEST(LanDatagrams, ProbeIsTheBareTag) {
  const ProbeDatagram probe = BuildProbe();
  EXPECT_EQ(std::string(probe.begin(), probe.end()), "DADADI.SEARCH.V1");
}

TEST(LanDatagrams, ChangeV2LayoutByteForByte) {
  const ChangeV2Datagram d = BuildChangeV2(Request());
  const std::vector<uint8_t> expected = {
      'D', 'A', 'D', 'A', 'D', 'I', '.', 'C', 'F', 'G', '.', 'V', '2',
      0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E,  // MAC
      0x00, 0x00,                          // reserved
      192, 168, 1, 10,                     // IP
      192, 168, 1, 1,                      // gateway
      255, 255, 255, 0};                   // mask
  EXPECT_EQ(std::vector<uint8_t>(d.begin(), d.end()), expected);
}

TEST(LanDatagrams, ChangeV3LayoutByteForByte) {
  ChangeV3Datagram d{};
  ASSERT_TRUE(BuildChangeV3(Request(), d));
  const uint8_t* p = d.data();
  EXPECT_EQ(std::string(p, p + 13), "DADADI.CFG.V3");
  EXPECT_EQ(Slice(p, 13, 4), Bytes({0x24, 0xEC, 0x00, 0x01}));
  EXPECT_EQ(Slice(p, 17, 6), Bytes({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
  EXPECT_EQ(Slice(p, 25, 4), Bytes({0x01, 0x00, 0x00, 0x80}));
  EXPECT_EQ(p[29], 0);                                      // status
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 49)), "admin");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 145)), "secret");
  EXPECT_EQ(Slice(p, 241, 4), Bytes({192, 168, 1, 10}));    // IP
  EXPECT_EQ(Slice(p, 245, 4), Bytes({192, 168, 1, 1}));     // gateway
  EXPECT_EQ(Slice(p, 249, 4), Bytes({255, 255, 255, 0}));   // mask
  EXPECT_EQ(Slice(p, 253, 4), Bytes({8, 8, 8, 8}));         // DNS 1
  EXPECT_EQ(Slice(p, 257, 4), Bytes({1, 0, 0, 1}));         // DNS 2
  EXPECT_EQ(p[261], 2);                                     // DHCP mode

  // Everything else of the body is zero.
  std::vector<bool> written(285, false);
  auto mark = [&](size_t from, size_t count) { for (size_t i = from; i < from + count; ++i) written[i] = true; };
  mark(0, 13); mark(13, 4); mark(17, 6); mark(25, 4); mark(49, 5); mark(145, 6); mark(241, 21);
  for (size_t i = 0; i < written.size(); ++i)
    if (!written[i]) {
      EXPECT_EQ(p[i], 0) << "byte " << i;
    }
}

TEST(LanDatagrams, AddressThatDoesNotParseIsAllOnes) {
  EXPECT_EQ(AddressBytes("10.1.2.3"), (Ipv4Bytes{10, 1, 2, 3}));
  EXPECT_EQ(AddressBytes(""), (Ipv4Bytes{255, 255, 255, 255}));
  EXPECT_EQ(AddressBytes("10.1.2.300"), (Ipv4Bytes{255, 255, 255, 255}));
  EXPECT_EQ(AddressBytes("not an address"), (Ipv4Bytes{255, 255, 255, 255}));
}

TEST(LanDatagrams, MacTextGroupsReadAsHex) {
  EXPECT_EQ(MacTextBytes("aa:bb:cc:dd:ee:ff"), (MacBytes{0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}));
  EXPECT_EQ(MacTextBytes("01-23-45-67-89-AB"), (MacBytes{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB}));
  // A short text: the missing groups read 0, a half group its one digit.
  EXPECT_EQ(MacTextBytes("12:34:5"), (MacBytes{0x12, 0x34, 0x05, 0, 0, 0}));
  EXPECT_EQ(MacTextBytes(""), (MacBytes{}));
  EXPECT_EQ(MacTextBytes("zz:1g:00:00:00:00"), (MacBytes{0x00, 0x01, 0, 0, 0, 0}));
}

TEST(LanDatagrams, MacKeyKeepsLettersAndDigitsOnly) {
  EXPECT_EQ(MacKey("00:1a:2B:3c:4D:5e"), "001a2B3c4D5e");
  EXPECT_EQ(MacKey(" 00-11.22 "), "001122");
}

std::vector<uint8_t> ProbeReply(const char* tag, std::initializer_list<int> mac) {
  std::vector<uint8_t> r(152, 0x77);
  std::memcpy(r.data(), tag, 16);
  size_t i = 106;
  for (int b : mac) r[i++] = static_cast<uint8_t>(b);
  return r;
}

TEST(LanDatagrams, ProbeReplyMatching) {
  const auto reply = ProbeReply("DADADI.SEARCH.V1", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  EXPECT_TRUE(IsProbeReply(reply.data(), reply.size()));
  const auto lowerTag = ProbeReply("dadadi.search.v1", {0, 0, 0, 0, 0, 0});
  EXPECT_TRUE(IsProbeReply(lowerTag.data(), lowerTag.size()));
  const auto otherTag = ProbeReply("DADADI.SEARCH.V2", {0, 0, 0, 0, 0, 0});
  EXPECT_FALSE(IsProbeReply(otherTag.data(), otherTag.size()));
  EXPECT_FALSE(IsProbeReply(reply.data(), 151));

  struct Case { const char* key; bool match; } cases[] = {
      {"001A2B3C4D5E", true},
      {"001a2b3c4d5e", true},   // lower-case MAC text
      {"001A2B", true},         // over the key's length only
      {"001A2B3C4D5F", false},
      {"001A2B3C4D5E00", false},  // longer than the twelve digits
  };
  for (const auto& c : cases)
    EXPECT_EQ(ProbeReplyMatchesKey(reply.data(), reply.size(), c.key), c.match) << c.key;
}

TEST(LanDatagrams, PasswordMustFitItsField) {
  DeviceRecord r = Request();
  ChangeV3Datagram d{};
  r.password = std::string(96, 'p');
  ASSERT_TRUE(BuildChangeV3(r, d));
  EXPECT_EQ(d[145 + 95], 'p');
  EXPECT_EQ(d[241], 192);  // the IP right after the field is intact
  r.password = std::string(97, 'p');
  EXPECT_FALSE(BuildChangeV3(r, d));
}

class V3ReplyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(BuildChangeV3(Request(), sent_));
    reply_.assign(sent_.begin(), sent_.end());
    reply_[15] = 0x01;  // direction: reply
    reply_[29] = 0x01;  // status: done
  }
  V3Reply Classify() const { return ClassifyV3Reply(reply_.data(), reply_.size(), sent_); }

  ChangeV3Datagram sent_{};
  std::vector<uint8_t> reply_;
};

TEST_F(V3ReplyTest, EchoOfEveryValueConfirms) {
  EXPECT_EQ(Classify(), V3Reply::kConfirmed);
  std::memcpy(reply_.data(), "dadadi.cfg.v3", 13);  // tag in any letter case
  EXPECT_EQ(Classify(), V3Reply::kConfirmed);
  std::memset(reply_.data() + 145, 0, 96);           // the password is not compared
  EXPECT_EQ(Classify(), V3Reply::kConfirmed);
}

TEST_F(V3ReplyTest, IdentityChecksIgnoreTheDatagram) {
  struct Case { size_t at; uint8_t value; const char* what; } cases[] = {
      {0, 'X', "tag"},
      {15, 0x00, "direction: a request"},
      {17, 0x01, "first MAC byte"},
      {22, 0x5F, "last MAC byte"},
      {25, 0x02, "command word, low byte"},
      {28, 0x00, "command word, high byte"},
  };
  for (const auto& c : cases) {
    SetUp();
    reply_[c.at] = c.value;
    EXPECT_EQ(Classify(), V3Reply::kNotAReply) << c.what;
  }
  SetUp();
  reply_.push_back(0);
  EXPECT_EQ(Classify(), V3Reply::kNotAReply) << "286 bytes";
  reply_.resize(284);
  EXPECT_EQ(Classify(), V3Reply::kNotAReply) << "284 bytes";
}

TEST_F(V3ReplyTest, StatusZeroIsARefusal) {
  reply_[29] = 0;
  reply_[245] = 9;  // even with another value: the refusal counts first
  EXPECT_EQ(Classify(), V3Reply::kRefused);
}

TEST_F(V3ReplyTest, AnyEchoedValueThatDiffersIsAMismatch) {
  struct Case { size_t at; const char* what; } cases[] = {
      {241, "IP"}, {244, "IP, last byte"}, {245, "gateway"}, {249, "mask"},
      {253, "DNS 1"}, {257, "DNS 2"}, {260, "DNS 2, last byte"}, {261, "DHCP mode"},
  };
  for (const auto& c : cases) {
    SetUp();
    reply_[c.at] ^= 0x01;
    EXPECT_EQ(Classify(), V3Reply::kMismatch) << c.what;
  }
  SetUp();
  reply_[262] = 0x55;  // beyond the compared values
  EXPECT_EQ(Classify(), V3Reply::kConfirmed);
}

}  // namespace
}  // namespace lanconfig
