// The protocol's building blocks: hashing, framing and payload shapes.
#include <gtest/gtest.h>

#include "libs/devicelink/messages.h"
#include "libs/devicelink/sha256.h"
#include "libs/devicelink/wire_format.h"

namespace {

namespace wire = devicelink::wire;
namespace msg = devicelink::msg;

std::string Hex(const devicelink::Digest& d) {
  std::string s;
  char b[3];
  for (auto v : d) {
    std::snprintf(b, sizeof b, "%02x", v);
    s += b;
  }
  return s;
}

TEST(Sha256, KnownVectors) {
  EXPECT_EQ(Hex(devicelink::Sha256Of("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Hex(devicelink::Sha256Of("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Hex(devicelink::Sha256Of("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  // Fed in odd pieces, a million 'a's.
  devicelink::Sha256 s;
  const std::string chunk(997, 'a');
  std::size_t fed = 0;
  while (fed < 1000000) {
    const std::size_t n = std::min<std::size_t>(chunk.size(), 1000000 - fed);
    s.Update(std::string_view(chunk.data(), n));
    fed += n;
  }
  EXPECT_EQ(Hex(s.Finish()), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(HmacSha256, Rfc4231Cases) {
  const std::vector<uint8_t> key1(20, 0x0b);
  EXPECT_EQ(Hex(devicelink::HmacSha256(key1, {wire::AsBytes("Hi There")})),
            "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7");
  EXPECT_EQ(Hex(devicelink::HmacSha256(wire::AsBytes("Jefe"),
                                       {wire::AsBytes("what do ya want "), wire::AsBytes("for nothing?")})),
            "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
  const std::vector<uint8_t> longKey(131, 0xaa);
  EXPECT_EQ(Hex(devicelink::HmacSha256(longKey, {wire::AsBytes("Test Using Larger Than Block-Size Key - Hash Key First")})),
            "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
}

TEST(Frames, RoundTripThroughAStreamFedByteByByte) {
  const std::vector<uint8_t> payload = {1, 2, 3, 4, 5};
  auto a = wire::Encode(wire::Type::kQueryText, 7, 0, payload);
  auto b = wire::Encode(wire::Type::kLogout, 8, wire::kNotLoggedIn, {});
  std::vector<uint8_t> stream(a);
  stream.insert(stream.end(), b.begin(), b.end());
  wire::FrameReader reader;
  std::vector<wire::Frame> frames;
  for (uint8_t byte : stream) {
    reader.Feed(std::span<const uint8_t>(&byte, 1));
    while (auto f = reader.Next()) frames.push_back(*f);
  }
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].header.type, wire::Type::kQueryText);
  EXPECT_EQ(frames[0].header.sequence, 7u);
  EXPECT_EQ(frames[0].payload, payload);
  EXPECT_EQ(frames[1].header.status, wire::kNotLoggedIn);
  EXPECT_TRUE(frames[1].payload.empty());
  EXPECT_EQ(reader.buffered(), 0u);
}

TEST(Frames, MalformedHeadersBreakTheStream) {
  const auto good = wire::Encode(wire::Type::kQueryText, 1, 0, std::vector<uint8_t>{9});
  struct Case {
    std::size_t at;
    uint8_t value;
    const char* what;
  } cases[] = {
      {0, 'X', "magic"},
      {4, 2, "version"},
      {6, 1, "reserved"},
      {19, 0x10, "length above the limit"},
  };
  for (const auto& c : cases) {
    auto bad = good;
    bad[c.at] = c.value;
    wire::FrameReader reader;
    reader.Feed(bad);
    EXPECT_FALSE(reader.Next()) << c.what;
    EXPECT_TRUE(reader.broken()) << c.what;
    reader.Feed(good);  // nothing after a violation is read
    EXPECT_FALSE(reader.Next()) << c.what;
  }
}

TEST(Frames, DatagramMustBeExactlyOneFrame) {
  auto d = wire::Encode(wire::Type::kDiscoverQuery, 0, 0, msg::Encode(msg::DiscoverQuery{5, 2}));
  ASSERT_TRUE(wire::ParseDatagram(d));
  auto longer = d;
  longer.push_back(0);
  EXPECT_FALSE(wire::ParseDatagram(longer));
  EXPECT_FALSE(wire::ParseDatagram(std::span<const uint8_t>(d).first(d.size() - 1)));
}

TEST(Messages, PayloadsOfTheWrongShapeAreRejected) {
  msg::LoginRequest login;
  login.user = "admin";
  auto bytes = msg::Encode(login);
  ASSERT_TRUE(msg::DecodeLoginRequest(bytes));
  EXPECT_EQ(msg::DecodeLoginRequest(bytes)->user, "admin");
  bytes.pop_back();
  EXPECT_FALSE(msg::DecodeLoginRequest(bytes));
  // A user field without its NUL is malformed.
  std::vector<uint8_t> full(wire::kUserField, 'a');
  EXPECT_FALSE(msg::DecodeChallengeRequest(full));
  // A name longer than the field is cut, never overflows it.
  EXPECT_EQ(msg::DecodeChallengeRequest(msg::Encode(msg::ChallengeRequest{std::string(100, 'b')}))->user.size(), 63u);
  EXPECT_FALSE(msg::DecodeUpgradeProgress(msg::Encode(msg::UpgradeProgress{101})));
  EXPECT_FALSE(msg::DecodeDiscoverReply(std::vector<uint8_t>(439)));
  EXPECT_TRUE(msg::DecodeDiscoverReply(std::vector<uint8_t>(440)));
}

TEST(Messages, ProofsDependOnEveryInput) {
  const auto key = msg::PasswordKey("admin", "admin123");
  EXPECT_FALSE(msg::Equal(key, msg::PasswordKey("admin", "admin124")));
  EXPECT_FALSE(msg::Equal(key, msg::PasswordKey("admin1", "23")));  // the name and password are kept apart
  msg::Nonce a{}, b{};
  b[0] = 1;
  const auto p = msg::LoginProof(key, a, a, "admin");
  EXPECT_FALSE(msg::Equal(p, msg::LoginProof(key, b, a, "admin")));
  EXPECT_FALSE(msg::Equal(p, msg::LoginProof(key, a, b, "admin")));
  EXPECT_FALSE(msg::Equal(p, msg::LoginProof(key, a, a, "guest")));
}

}  // namespace
