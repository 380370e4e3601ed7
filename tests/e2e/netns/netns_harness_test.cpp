// The private-network harness itself: inside scripts/netns-run a limited
// broadcast from a fixed port reaches a socket on the fixed target port, and
// a unicast answer to the sender's address comes back.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/private_network.h"

namespace {

class Udp {
 public:
  explicit Udp(uint16_t port) : fd_(socket(AF_INET, SOCK_DGRAM, 0)) {
    int one = 1;
    setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_ANY);
    bound_ = bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  }
  ~Udp() { close(fd_); }
  bool bound() const { return bound_; }
  bool SendTo(const char* ip, uint16_t port, const std::string& text) const {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    inet_pton(AF_INET, ip, &a.sin_addr);
    return sendto(fd_, text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a) ==
           static_cast<ssize_t>(text.size());
  }
  // One datagram within timeoutMs, or "" when none came.
  std::string Receive(int timeoutMs, sockaddr_in* from = nullptr) const {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) != 1) return {};
    char buf[1500];
    sockaddr_in src{};
    socklen_t len = sizeof src;
    const ssize_t n = recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&src), &len);
    if (from != nullptr) *from = src;
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
  }

 private:
  int fd_;
  bool bound_ = false;
};

TEST(NetnsHarness, LimitedBroadcastReachesTheTargetPortAndTheAnswerComesBack) {
  DIVAROD_REQUIRE_PRIVATE_NETWORK();
  Udp device(5000);
  Udp program(5003);
  Udp answers(5001);
  ASSERT_TRUE(device.bound() && program.bound() && answers.bound());

  ASSERT_TRUE(program.SendTo("255.255.255.255", 5000, "hello"));
  sockaddr_in from{};
  EXPECT_EQ(device.Receive(2000, &from), "hello");
  EXPECT_EQ(ntohs(from.sin_port), 5003);
  char fromIp[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &from.sin_addr, fromIp, sizeof fromIp);
  EXPECT_STREQ(fromIp, divarod::testing::kNetnsHostIp);
  // Exactly one copy: the broadcast is not delivered twice.
  EXPECT_EQ(device.Receive(200), "");

  ASSERT_TRUE(device.SendTo(fromIp, 5001, "answer"));
  EXPECT_EQ(answers.Receive(2000), "answer");
}

TEST(NetnsHarness, BroadcastAnswersReachTheProgram) {
  DIVAROD_REQUIRE_PRIVATE_NETWORK();
  Udp device(5000);
  Udp answers(5001);
  ASSERT_TRUE(device.bound() && answers.bound());
  ASSERT_TRUE(device.SendTo("255.255.255.255", 5001, "to-all"));
  EXPECT_EQ(answers.Receive(2000), "to-all");
}

TEST(NetnsHarness, GuardSkipsOutsideTheNamespace) {
  // The guard must refuse whatever the environment says when foreign
  // interfaces are visible; here only the environment marker is checked.
  const char* saved = std::getenv("DIVAROD_NETNS");
  const std::string keep = saved != nullptr ? saved : "";
  unsetenv("DIVAROD_NETNS");
  EXPECT_NE(divarod::testing::PrivateNetworkSkipReason(), "");
  if (saved != nullptr) setenv("DIVAROD_NETNS", keep.c_str(), 1);
}

}  // namespace
