// The device side: what each device does with a datagram, without sockets;
// then the responder's change hook and reply addressing over loopback.
#include "tools/lanresponder/device_fleet.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "core/device/device_record.h"
#include "core/lanconfig/lan_datagrams.h"
#include "tools/lanresponder/lan_responder.h"

namespace lanresponder {
namespace {

constexpr const char* kCamera = "00:1A:2B:3C:4D:5E";
constexpr const char* kRecorder = "00:1A:2B:3C:4D:60";

SimulatedDevice Device(const char* mac, uint8_t capabilities) {
  SimulatedDevice d;
  d.mac = mac;
  d.capabilities = capabilities;
  d.adminPassword = "pw";
  return d;
}

DeviceRecord Request(const char* mac) {
  DeviceRecord r;
  r.mac = mac;
  r.ip = "10.0.0.5";
  r.gateway = "10.0.0.1";
  r.netmask = "255.0.0.0";
  r.dns1 = "10.0.0.2";
  r.dns2 = "10.0.0.3";
  r.dhcpMode = 1;
  r.password = "pw";
  return r;
}

class Fleet : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fleet_.Add(Device(kCamera, 0x08)));
    ASSERT_TRUE(fleet_.Add(Device(kRecorder, 0x00)));
  }
  Outcome Send(const uint8_t* data, size_t size) { return fleet_.Handle(data, size); }
  template <typename Array>
  Outcome Send(const Array& a) { return fleet_.Handle(a.data(), a.size()); }
  Outcome SendV3(const DeviceRecord& r) {
    lanconfig::ChangeV3Datagram d{};
    EXPECT_TRUE(lanconfig::BuildChangeV3(r, d));
    sent_ = d;
    return Send(d);
  }

  DeviceFleet fleet_;
  lanconfig::ChangeV3Datagram sent_{};
};

TEST_F(Fleet, AddRefusesBadAndDuplicateMacs) {
  EXPECT_FALSE(fleet_.Add(Device("00:1a:2b:3c:4d:5e", 0)));  // same MAC, other case
  EXPECT_FALSE(fleet_.Add(Device("00:1A:2B:3C:4D", 0)));
  EXPECT_FALSE(fleet_.Add(Device("00:1A:2B:3C:4D:5G", 0)));
  EXPECT_EQ(fleet_.Devices().size(), 2u);
}

TEST_F(Fleet, EveryDeviceAnswersTheProbeWithItsMacAt106) {
  const Outcome out = Send(lanconfig::BuildProbe());
  EXPECT_EQ(out.kind, DatagramKind::kProbe);
  ASSERT_EQ(out.answers.size(), 2u);
  for (const auto& a : out.answers) {
    ASSERT_EQ(a.bytes.size(), 152u);
    EXPECT_TRUE(lanconfig::IsProbeReply(a.bytes.data(), a.bytes.size()));
    EXPECT_TRUE(lanconfig::ProbeReplyMatchesKey(a.bytes.data(), a.bytes.size(), lanconfig::MacKey(a.fromMac)));
  }
}

TEST_F(Fleet, MisbehavingDevicesAnswerTheProbeAsTold) {
  fleet_.Find(kCamera)->misbehaviour.silent = true;
  fleet_.Find(kRecorder)->misbehaviour.answerAsMac = "AA:AA:AA:AA:AA:AA";
  const Outcome out = Send(lanconfig::BuildProbe());
  ASSERT_EQ(out.answers.size(), 1u);
  EXPECT_TRUE(lanconfig::ProbeReplyMatchesKey(out.answers[0].bytes.data(), 152, "AAAAAAAAAAAA"));
}

TEST_F(Fleet, PlainChangeReachesOnlyTheNamedDeviceAndIsNotAnswered) {
  const Outcome out = Send(lanconfig::BuildChangeV2(Request(kRecorder)));
  EXPECT_EQ(out.kind, DatagramKind::kChangeV2);
  EXPECT_EQ(out.targetMac, kRecorder);
  EXPECT_TRUE(out.answers.empty());
  ASSERT_EQ(out.changes.size(), 1u);
  EXPECT_EQ(out.changes[0].variant, 2);
  EXPECT_EQ(out.changes[0].before.ip, "192.168.1.10");
  const DeviceNetwork& now = fleet_.Find(kRecorder)->network;
  EXPECT_EQ(now.ip, "10.0.0.5");
  EXPECT_EQ(now.gateway, "10.0.0.1");
  EXPECT_EQ(now.netmask, "255.0.0.0");
  EXPECT_EQ(now.dns1, "8.8.8.8");
  EXPECT_EQ(fleet_.Find(kCamera)->network.ip, "192.168.1.10");
}

TEST_F(Fleet, AuthenticatedChangeIsAppliedAndEchoed) {
  const Outcome out = SendV3(Request(kCamera));
  EXPECT_EQ(out.kind, DatagramKind::kChangeV3);
  ASSERT_EQ(out.answers.size(), 1u);
  const auto& echo = out.answers[0].bytes;
  EXPECT_EQ(lanconfig::ClassifyV3Reply(echo.data(), echo.size(), sent_), lanconfig::V3Reply::kConfirmed);
  for (size_t i = 145; i < 145 + 96; ++i) ASSERT_EQ(echo[i], 0) << "the password is not sent back";
  const DeviceNetwork expected{"10.0.0.5", "255.0.0.0", "10.0.0.1", "10.0.0.2", "10.0.0.3", 1};
  EXPECT_EQ(fleet_.Find(kCamera)->network, expected);
  ASSERT_EQ(out.changes.size(), 1u);
  EXPECT_EQ(out.changes[0].after, expected);
}

TEST_F(Fleet, AuthenticatedChangeRefusals) {
  struct Case { const char* what; const char* mac; const char* password; size_t answers; } cases[] = {
      {"wrong password", kCamera, "nope", 1},
      {"password with a longer tail", kCamera, "pw2", 1},
      {"device without capability bit 3", kRecorder, "pw", 0},
      {"no such device", "00:00:00:00:00:00", "pw", 0},
  };
  for (const auto& c : cases) {
    DeviceRecord r = Request(c.mac);
    r.password = c.password;
    const Outcome out = SendV3(r);
    EXPECT_TRUE(out.changes.empty()) << c.what;
    ASSERT_EQ(out.answers.size(), c.answers) << c.what;
    if (c.answers == 1) {
      EXPECT_EQ(lanconfig::ClassifyV3Reply(out.answers[0].bytes.data(), 285, sent_), lanconfig::V3Reply::kRefused)
          << c.what;
    }
  }
  EXPECT_EQ(fleet_.Find(kCamera)->network.ip, "192.168.1.10");
}

TEST_F(Fleet, EchoOfAnotherGatewayIsWhatTheDeviceTook) {
  fleet_.Find(kCamera)->misbehaviour.echoGateway = "10.0.0.9";
  const Outcome out = SendV3(Request(kCamera));
  ASSERT_EQ(out.answers.size(), 1u);
  EXPECT_EQ(lanconfig::ClassifyV3Reply(out.answers[0].bytes.data(), 285, sent_), lanconfig::V3Reply::kMismatch);
  EXPECT_EQ(fleet_.Find(kCamera)->network.gateway, "10.0.0.9");
}

TEST_F(Fleet, TheDeviceIgnoresEchoesAndMalformedChanges) {
  lanconfig::ChangeV3Datagram d{};
  ASSERT_TRUE(lanconfig::BuildChangeV3(Request(kCamera), d));
  struct Case { size_t at; uint8_t value; } cases[] = {{13, 0x25}, {15, 0x01}, {16, 0x02}, {28, 0x00}, {0, 'd'}};
  for (const auto& c : cases) {
    auto bad = d;
    bad[c.at] = c.value;
    const Outcome out = Send(bad);
    EXPECT_EQ(out.kind, DatagramKind::kOther) << "byte " << c.at;
    EXPECT_TRUE(out.answers.empty() && out.changes.empty());
  }
  const auto v2 = lanconfig::BuildChangeV2(Request(kCamera));
  EXPECT_EQ(Send(v2.data(), v2.size() - 1).kind, DatagramKind::kOther);
}

TEST_F(Fleet, NoJunkIsAValidAnswerForTheDevice) {
  const auto mac = *ParseMac(kCamera);
  ASSERT_TRUE(lanconfig::BuildChangeV3(Request(kCamera), sent_));
  std::vector<size_t> sizes;
  for (const auto& junk : JunkDatagrams(mac)) {
    sizes.push_back(junk.size());
    EXPECT_FALSE(lanconfig::IsProbeReply(junk.data(), junk.size()) &&
                 lanconfig::ProbeReplyMatchesKey(junk.data(), junk.size(), lanconfig::MacKey(kCamera)));
    EXPECT_EQ(lanconfig::ClassifyV3Reply(junk.data(), junk.size(), sent_), lanconfig::V3Reply::kNotAReply);
  }
  for (size_t expected : {0u, 151u, 152u, 153u, 284u, 285u, 286u, 1024u, 1025u})
    EXPECT_NE(std::find(sizes.begin(), sizes.end(), expected), sizes.end()) << expected;
}

TEST_F(Fleet, JunkComesBeforeOrInsteadOfTheAnswer) {
  fleet_.Find(kCamera)->misbehaviour.junk = JunkMode::kBeforeAnswer;
  fleet_.Find(kRecorder)->misbehaviour.junk = JunkMode::kInsteadOfAnswer;
  const Outcome out = Send(lanconfig::BuildProbe());
  std::vector<const Answer*> camera, recorder;
  for (const auto& a : out.answers) (a.fromMac == kCamera ? camera : recorder).push_back(&a);
  ASSERT_FALSE(camera.empty());
  EXPECT_FALSE(camera.back()->junk);
  for (size_t i = 0; i + 1 < camera.size(); ++i) EXPECT_TRUE(camera[i]->junk);
  for (const auto* a : recorder) EXPECT_TRUE(a->junk);
}

// Over loopback: the hook and where the answers go.
TEST(LanResponder, HookSeesEveryChangeAndAnswersGoToTheReplyPort) {
  const int program = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(program, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  socklen_t length = sizeof a;
  getsockname(program, reinterpret_cast<sockaddr*>(&a), &length);

  ResponderEndpoints endpoints;
  endpoints.bindIp = "127.0.0.1";
  endpoints.listenPort = 0;
  endpoints.replyPort = ntohs(a.sin_port);
  endpoints.broadcastIp = "127.0.0.1";
  LanResponder responder(endpoints);
  SimulatedDevice camera = Device(kCamera, 0x08);
  camera.network.ip = "172.16.0.9";  // not the sender's subnet: loopback is answered all the same
  ASSERT_TRUE(responder.AddDevice(camera));
  std::mutex mutex;
  std::vector<NetworkChange> changes;
  responder.SetChangeHook([&](const NetworkChange& c) {
    EXPECT_EQ(responder.Device(c.mac)->network, c.after) << "applied before the hook runs";
    std::lock_guard lock(mutex);
    changes.push_back(c);
  });
  std::string error;
  ASSERT_TRUE(responder.Start(&error)) << error;

  lanconfig::ChangeV3Datagram d{};
  ASSERT_TRUE(lanconfig::BuildChangeV3(Request(kCamera), d));
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(responder.ListenPort());
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(sendto(program, d.data(), d.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to), 285);

  pollfd p{program, POLLIN, 0};
  ASSERT_EQ(poll(&p, 1, 2000), 1);
  uint8_t echo[1024];
  EXPECT_EQ(recv(program, echo, sizeof echo, 0), 285);
  EXPECT_EQ(lanconfig::ClassifyV3Reply(echo, 285, d), lanconfig::V3Reply::kConfirmed);
  responder.Stop();
  close(program);

  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].mac, kCamera);
  EXPECT_EQ(changes[0].variant, 3);
  EXPECT_EQ(changes[0].before.ip, "172.16.0.9");
  EXPECT_EQ(changes[0].after.ip, "10.0.0.5");
  const auto sent = responder.Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_FALSE(sent[0].broadcast);
  EXPECT_EQ(sent[0].toIp, "127.0.0.1");
}

// A responder asked for a free port keeps it to itself: another socket that
// asked to share the port would take the datagrams sent there.
TEST(LanResponder, AFreeListenPortIsNotShared) {
  ResponderEndpoints endpoints;
  endpoints.bindIp = "127.0.0.1";
  endpoints.listenPort = 0;
  endpoints.replyPort = 9;
  endpoints.broadcastIp = "127.0.0.1";
  LanResponder responder(endpoints);
  std::string error;
  ASSERT_TRUE(responder.Start(&error)) << error;
  const int other = socket(AF_INET, SOCK_DGRAM, 0);
  const int one = 1;
  setsockopt(other, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(responder.ListenPort());
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  EXPECT_NE(bind(other, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  close(other);
  responder.Stop();
}

}  // namespace
}  // namespace lanresponder
