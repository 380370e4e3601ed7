// The device's answers to StreamOpen, request by request (no sockets).
#include <gtest/gtest.h>

#include "libs/devicelink/stream_messages.h"
#include "tools/devsim/device_protocol.h"

namespace {

namespace msg = devicelink::msg;
namespace wire = devicelink::wire;

struct Answer {
  int32_t status;
  devsim::Next next;
  std::vector<uint8_t> payload;
};

Answer Open(devsim::SimDevice& device, devsim::ConnectionState& connection, std::vector<uint8_t> payload) {
  wire::Frame request{{wire::Type::kStreamOpen, 9, 0, static_cast<uint32_t>(payload.size())}, std::move(payload)};
  const auto outcome = devsim::HandleRequest(device, connection, request, devsim::SimClock::now());
  wire::FrameReader reader;
  reader.Feed(outcome.reply);
  const auto reply = reader.Next();
  EXPECT_TRUE(reply.has_value());
  EXPECT_EQ(reply->header.sequence, 9u);
  return {reply->header.status, outcome.next, reply->payload};
}

devsim::ConnectionState LoggedIn(devsim::SimDevice& device) {
  devsim::ConnectionState c;
  msg::Token token{};
  token[0] = 1;
  device.sessions[token] = {"admin", {}};
  c.authenticated = true;
  c.token = token;
  return c;
}

devsim::DeviceProfile Profile() {
  devsim::DeviceProfile p;
  p.mac = "02:00:00:00:00:01";
  p.ip = "10.0.0.1";
  return p;
}

TEST(StreamOpen, AcceptedStreamsAnswerTheirFormatAndStartStreaming) {
  struct Case {
    uint32_t stream;
    uint16_t width, height, fps;
  } cases[] = {{1, 1280, 720, 25}, {2, 640, 360, 15}};
  for (const auto& c : cases) {
    devsim::SimDevice device(Profile());
    auto connection = LoggedIn(device);
    const Answer a = Open(device, connection, msg::Encode(msg::StreamOpenRequest{c.stream}));
    EXPECT_EQ(a.status, wire::kOk);
    EXPECT_EQ(a.next, devsim::Next::kStartStream);
    const auto format = msg::DecodeStreamFormat(a.payload);
    ASSERT_TRUE(format.has_value());
    EXPECT_EQ(format->width, c.width);
    EXPECT_EQ(format->height, c.height);
    EXPECT_EQ(format->framesPerSecond, c.fps);
    EXPECT_EQ(connection.stream, c.stream);
    // One stream per connection.
    EXPECT_EQ(Open(device, connection, msg::Encode(msg::StreamOpenRequest{c.stream})).status, wire::kBadRequest);
  }
}

TEST(StreamOpen, RefusalsSayWhy) {
  struct Case {
    const char* what;
    bool loggedIn;
    bool refuse;
    uint32_t kind;
    std::vector<uint8_t> payload;
    int32_t status;
  } cases[] = {
      {"no login", false, false, 0, msg::Encode(msg::StreamOpenRequest{1}), wire::kNotLoggedIn},
      {"no such stream", true, false, 0, msg::Encode(msg::StreamOpenRequest{3}), wire::kBadRequest},
      {"short payload", true, false, 0, {1, 0}, wire::kBadRequest},
      {"no live view", true, false, 1, msg::Encode(msg::StreamOpenRequest{1}), wire::kUnsupported},
      {"refuses streams", true, true, 0, msg::Encode(msg::StreamOpenRequest{1}), wire::kRefused},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto profile = Profile();
    profile.refuseStream = c.refuse;
    profile.kind = c.kind;
    devsim::SimDevice device(profile);
    devsim::ConnectionState connection = c.loggedIn ? LoggedIn(device) : devsim::ConnectionState{};
    const Answer a = Open(device, connection, c.payload);
    EXPECT_EQ(a.status, c.status);
    EXPECT_EQ(a.next, devsim::Next::kNothing);
    EXPECT_EQ(connection.stream, 0u);
  }
}

}  // namespace
