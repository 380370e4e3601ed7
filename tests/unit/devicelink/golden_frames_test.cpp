// Frames written out byte by byte from the layout in docs/device-link.md, so
// that a change of the shared encoder (which the library and the simulator
// both use, and round-trip tests cannot see) shows here. Each case is checked
// both ways: the encoder makes these bytes, and the parsers read them back.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "libs/devicelink/messages.h"
#include "libs/devicelink/wire_format.h"

namespace {

namespace wire = devicelink::wire;
namespace msg = devicelink::msg;

// "44 56 4c 4b ..." to bytes; spaces and line breaks are for the reader.
std::vector<uint8_t> FromHex(const std::string& text) {
  std::vector<uint8_t> out;
  std::string digits;
  for (char c : text)
    if (c != ' ' && c != '\n') digits += c;
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
    out.push_back(static_cast<uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
  return out;
}

std::string ToHex(const std::vector<uint8_t>& bytes) {
  std::string s;
  char b[4];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(b, sizeof b, i ? " %02x" : "%02x", bytes[i]);
    s += b;
  }
  return s;
}

std::string Zeros(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += " 00";
  return s;
}

struct GoldenFrame {
  const char* name;
  wire::Type type;
  uint32_t sequence;
  int32_t status;
  std::vector<uint8_t> payload;  // from the message encoder
  std::string expected;          // the whole frame, from the document
};

std::vector<GoldenFrame> Cases() {
  msg::ChallengeReply challengeReply;
  for (int i = 0; i < 16; ++i) challengeReply.deviceNonce[static_cast<std::size_t>(i)] = static_cast<uint8_t>(i);
  msg::UpgradeBeginRequest begin;
  begin.size = 0x0000000100000002ull;
  begin.sha256.fill(0xAB);
  msg::ParameterRequest set{191, -1, {0x01, 0x00, 0x00, 0x00}};
  return {
      {"discover query: searchId 0x11223344, mode 2", wire::Type::kDiscoverQuery, 1, 0,
       msg::Encode(msg::DiscoverQuery{0x11223344, 2}),
       "44 56 4c 4b  01  01  00 00  01 00 00 00  00 00 00 00  08 00 00 00"
       "  44 33 22 11  02 00 00 00"},
      {"challenge for \"admin\": the user in a 64-byte field", wire::Type::kChallenge, 7, 0,
       msg::Encode(msg::ChallengeRequest{"admin"}),
       "44 56 4c 4b  01  10  00 00  07 00 00 00  00 00 00 00  40 00 00 00"
       "  61 64 6d 69 6e" + Zeros(59)},
      {"challenge reply: the device's 16-byte nonce", wire::Type::kChallenge, 7, 0, msg::Encode(challengeReply),
       "44 56 4c 4b  01  10  00 00  07 00 00 00  00 00 00 00  10 00 00 00"
       "  00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f"},
      {"login refused: user locked, no payload", wire::Type::kLogin, 2, wire::kUserLocked, {},
       "44 56 4c 4b  01  11  00 00  02 00 00 00  05 00 00 00  00 00 00 00"},
      {"query text 50", wire::Type::kQueryText, 0x01020304, 0, msg::Encode(msg::QueryTextRequest{50}),
       "44 56 4c 4b  01  20  00 00  04 03 02 01  00 00 00 00  04 00 00 00  32 00 00 00"},
      {"set parameter: block 191, channel -1, four bytes", wire::Type::kSetParameter, 9, 0, msg::Encode(set),
       "44 56 4c 4b  01  22  00 00  09 00 00 00  00 00 00 00  0c 00 00 00"
       "  bf 00 00 00  ff ff ff ff  01 00 00 00"},
      {"factory reset, flags 1", wire::Type::kFactoryReset, 4, 0, msg::Encode(msg::FactoryResetRequest{1}),
       "44 56 4c 4b  01  31  00 00  04 00 00 00  00 00 00 00  04 00 00 00  01 00 00 00"},
      {"upgrade begin: a 64-bit size and the image's digest", wire::Type::kUpgradeBegin, 3, 0, msg::Encode(begin),
       "44 56 4c 4b  01  50  00 00  03 00 00 00  00 00 00 00  28 00 00 00"
       "  02 00 00 00 01 00 00 00"
       "  ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab"},
      {"upgrade data at offset 65536", wire::Type::kUpgradeData, 5, 0,
       msg::Encode(msg::UpgradeDataRequest{65536, {0xde, 0xad}}),
       "44 56 4c 4b  01  51  00 00  05 00 00 00  00 00 00 00  0a 00 00 00"
       "  00 00 01 00 00 00 00 00  de ad"},
      {"upgrade progress 100 %", wire::Type::kUpgradeProgress, 0, 0, msg::Encode(msg::UpgradeProgress{100}),
       "44 56 4c 4b  01  53  00 00  00 00 00 00  00 00 00 00  04 00 00 00  64 00 00 00"},
      {"upgrade done: failed (0x107)", wire::Type::kUpgradeDone, 0, wire::kUpgradeFailed, {},
       "44 56 4c 4b  01  54  00 00  00 00 00 00  07 01 00 00  00 00 00 00"},
      {"unsupported request (0x108) on a high sequence", wire::Type::kReboot, 0xFFFFFFFEu, wire::kUnsupported, {},
       "44 56 4c 4b  01  30  00 00  fe ff ff ff  08 01 00 00  00 00 00 00"},
  };
}

TEST(GoldenFrames, EncoderWritesTheDocumentedBytes) {
  for (const auto& c : Cases()) {
    const auto bytes = wire::Encode(c.type, c.sequence, c.status, c.payload);
    EXPECT_EQ(ToHex(bytes), ToHex(FromHex(c.expected))) << c.name;
  }
}

TEST(GoldenFrames, ParsersReadTheDocumentedBytes) {
  for (const auto& c : Cases()) {
    const auto bytes = FromHex(c.expected);
    const auto frame = wire::ParseDatagram(bytes);
    ASSERT_TRUE(frame) << c.name;
    EXPECT_EQ(frame->header.type, c.type) << c.name;
    EXPECT_EQ(frame->header.sequence, c.sequence) << c.name;
    EXPECT_EQ(frame->header.status, c.status) << c.name;
    EXPECT_EQ(frame->header.length, bytes.size() - wire::kHeaderSize) << c.name;
    EXPECT_EQ(frame->payload, c.payload) << c.name;

    // The same bytes arriving on a connection, twice in a row.
    wire::FrameReader reader;
    reader.Feed(bytes);
    reader.Feed(bytes);
    for (int i = 0; i < 2; ++i) {
      const auto streamed = reader.Next();
      ASSERT_TRUE(streamed) << c.name;
      EXPECT_EQ(streamed->payload, c.payload) << c.name;
    }
    EXPECT_FALSE(reader.Next()) << c.name;
  }
}

TEST(GoldenFrames, DecodersReadTheDocumentedPayloads) {
  const auto query = msg::DecodeDiscoverQuery(FromHex("44 33 22 11  02 00 00 00"));
  ASSERT_TRUE(query);
  EXPECT_EQ(query->searchId, 0x11223344u);
  EXPECT_EQ(query->mode, 2u);

  const auto challenge = msg::DecodeChallengeRequest(FromHex("61 64 6d 69 6e" + Zeros(59)));
  ASSERT_TRUE(challenge);
  EXPECT_EQ(challenge->user, "admin");
  // The user field must hold a NUL: 64 name bytes are refused.
  EXPECT_FALSE(msg::DecodeChallengeRequest(std::vector<uint8_t>(64, 'a')));

  const auto set = msg::DecodeParameterRequest(FromHex("bf 00 00 00  ff ff ff ff  01 00 00 00"));
  ASSERT_TRUE(set);
  EXPECT_EQ(set->block, 191u);
  EXPECT_EQ(set->channel, -1);
  EXPECT_EQ(set->data, (std::vector<uint8_t>{1, 0, 0, 0}));

  const auto data = msg::DecodeUpgradeDataRequest(FromHex("00 00 01 00 00 00 00 00  de ad"));
  ASSERT_TRUE(data);
  EXPECT_EQ(data->offset, 65536u);
  EXPECT_EQ(data->data, (std::vector<uint8_t>{0xde, 0xad}));

  const auto progress = msg::DecodeUpgradeProgress(FromHex("64 00 00 00"));
  ASSERT_TRUE(progress);
  EXPECT_EQ(progress->percent, 100u);
}

TEST(GoldenFrames, HeaderFieldsTheDocumentForbidsAreInvalid) {
  const std::string good = "44 56 4c 4b  01  30  00 00  01 00 00 00  00 00 00 00  00 00 00 00";
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"magic", "44 56 4c 4c  01  30  00 00  01 00 00 00  00 00 00 00  00 00 00 00"},
      {"version 2", "44 56 4c 4b  02  30  00 00  01 00 00 00  00 00 00 00  00 00 00 00"},
      {"reserved not 0", "44 56 4c 4b  01  30  00 01  01 00 00 00  00 00 00 00  00 00 00 00"},
      {"length 2,097,153", "44 56 4c 4b  01  30  00 00  01 00 00 00  00 00 00 00  01 00 20 00"},
  };
  wire::Header header;
  EXPECT_EQ(wire::ParseHeader(FromHex(good), header), wire::HeaderCheck::kOk);
  for (const auto& c : cases) EXPECT_EQ(wire::ParseHeader(FromHex(c.bytes), header), wire::HeaderCheck::kInvalid) << c.what;
  // The longest payload allowed is not refused by its header.
  EXPECT_EQ(wire::ParseHeader(FromHex("44 56 4c 4b  01  30  00 00  01 00 00 00  00 00 00 00  00 00 20 00"), header),
            wire::HeaderCheck::kOk);
}

TEST(GoldenFrames, AHeaderThatCannotBecomeValidIsInvalidBeforeItIsWhole) {
  const struct {
    const char* bytes;
    wire::HeaderCheck check;
  } cases[] = {
      {"", wire::HeaderCheck::kIncomplete},
      {"44 56", wire::HeaderCheck::kIncomplete},
      {"44 56 4c 4b  01  30  00 00  01 00", wire::HeaderCheck::kIncomplete},
      {"48 54 54 50", wire::HeaderCheck::kInvalid},  // "HTTP"
      {"44 58", wire::HeaderCheck::kInvalid},
      {"44 56 4c 4b  02", wire::HeaderCheck::kInvalid},
  };
  wire::Header header;
  for (const auto& c : cases) EXPECT_EQ(wire::ParseHeader(FromHex(c.bytes), header), c.check) << c.bytes;
}

}  // namespace
