// The simulator answering the LAN configuration datagrams (the program's own
// channel on loopback): changes show in the next discovery, and what the
// device link changes reaches the LAN side.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "core/lanconfig/lan_config_channel.h"
#include "tests/unit/devicelink/sim_fixture.h"
#include "tests/unit/lanconfig/held_reply_port.h"
#include "tools/devsim/lan_link.h"

namespace {

namespace dl = devicelib;

class LanLinkTest : public simtest::SimFixture {
 protected:
  void Shape(std::vector<devsim::DeviceProfile>& d) override {
    d[0].capabilities = 0x08;  // takes the authenticated change
    d[1].capabilities = 0x00;
  }
  void SetUp() override {
    SimFixture::SetUp();
    ASSERT_TRUE(replyPort.held());
    lanresponder::ResponderEndpoints e;
    e.bindIp = "127.0.0.1";
    e.listenPort = 0;
    e.replyPort = replyPort.port();
    e.broadcastIp = "127.0.0.1";
    link = std::make_unique<devsim::LanLink>(*sim, e);
    std::string error;
    ASSERT_TRUE(link->Start(error)) << error;
  }
  void TearDown() override {
    link.reset();
    SimFixture::TearDown();
  }
  lanconfig::LanEndpoints Endpoints() const {
    lanconfig::LanEndpoints e;
    e.sendBindIp = "127.0.0.1";
    e.sendBindPort = 0;
    e.targetIp = "127.0.0.1";
    e.targetPort = link->port();
    e.receiveBindIp = "127.0.0.1";
    e.receivePort = replyPort.port();
    return e;
  }
  DeviceRecord Request(int n, const std::string& password) {
    DeviceRecord r;
    r.mac = profiles[static_cast<std::size_t>(n - 1)].mac;
    r.ip = subnet + "1" + std::to_string(n) + "0";
    r.netmask = "255.255.0.0";
    r.gateway = subnet + "1";
    r.dns1 = "9.9.9.9";
    r.dns2 = "1.1.1.1";
    r.dhcpMode = 1;
    r.password = password;
    return r;
  }

  // Every channel of a test goes through it, so that the port stays the
  // test's between changes.
  lanconfig::testing::HeldReplyPort replyPort;
  std::unique_ptr<devsim::LanLink> link;
};

TEST_F(LanLinkTest, AuthenticatedChangeShowsInTheNextDiscovery) {
  lanconfig::LanConfigChannel channel(Endpoints(), replyPort);
  const DeviceRecord request = Request(1, "admin123");
  ASSERT_EQ(channel.ModifyNetworkByBroadcastV3(request), 1);
  const auto records = Search();
  const auto* r = ByMac(records, profiles[0].mac);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->ip, request.ip);
  EXPECT_EQ(r->netmask, "255.255.0.0");
  EXPECT_EQ(r->gateway, request.gateway);
  EXPECT_EQ(r->dns1, "9.9.9.9");
  EXPECT_EQ(r->dhcpMode, 1);
  // The device now serves on its new address.
  uint8_t info[64];
  int error = -1;
  EXPECT_NE(lib.SdkLogin(request.ip.c_str(), 34567, "admin", "admin123", info, &error, 0, 0), 0);
}

TEST_F(LanLinkTest, PlainChangeMovesADeviceWithoutTheAuthenticatedVariant) {
  lanconfig::LanConfigChannel channel(Endpoints(), replyPort);
  const DeviceRecord request = Request(2, "");
  ASSERT_EQ(channel.ModifyNetworkByBroadcastV2(request), 1);
  // V2 is never confirmed: wait for the device to take it.
  ASSERT_TRUE(EventuallyInDiscovery(profiles[1].mac, [&](const DeviceRecord* r) { return r && r->ip == request.ip; }));
}

TEST_F(LanLinkTest, WrongPasswordIsRefusedAndChangesNothing) {
  lanconfig::LanConfigChannel channel(Endpoints(), replyPort);
  EXPECT_EQ(channel.ModifyNetworkByBroadcastV3(Request(1, "guess")), -1);
  EXPECT_EQ(ByMac(Search(), profiles[0].mac)->ip, Ip(1));
}

TEST_F(LanLinkTest, PasswordChangedOverTheDeviceLinkIsTheOneTheLanChangeNeeds) {
  const int32_t h = Login(1);
  ASSERT_NE(h, 0);
  std::vector<uint8_t> table(dl::kUserTableSize);
  ASSERT_EQ(lib.SdkGetUserTable(h, table.data(), 30000), 1);
  std::vector<uint8_t> oldEntry(table.begin() + dl::kUserTableEntriesOffset,
                                table.begin() + dl::kUserTableEntriesOffset + dl::kUserEntrySize);
  auto newEntry = oldEntry;
  std::strcpy(reinterpret_cast<char*>(oldEntry.data() + dl::kUserEntryPasswordOffset), "admin123");
  std::strcpy(reinterpret_cast<char*>(newEntry.data() + dl::kUserEntryPasswordOffset), "Fresh#42");
  ASSERT_EQ(lib.SdkModifyUser(h, dl::kModifyUserPassword, newEntry.data(), oldEntry.data(), 1000), 1);
  lanconfig::LanConfigChannel channel(Endpoints(), replyPort);
  EXPECT_EQ(channel.ModifyNetworkByBroadcastV3(Request(1, "admin123")), -1);
  EXPECT_EQ(channel.ModifyNetworkByBroadcastV3(Request(1, "Fresh#42")), 1);
}

TEST_F(LanLinkTest, FactoryResetUndoesALanChange) {
  lanconfig::LanConfigChannel channel(Endpoints(), replyPort);
  const DeviceRecord request = Request(1, "admin123");
  ASSERT_EQ(channel.ModifyNetworkByBroadcastV3(request), 1);
  uint8_t info[64];
  int error = -1;
  const int32_t h = lib.SdkLogin(request.ip.c_str(), 34567, "admin", "admin123", info, &error, 0, 0);
  ASSERT_NE(h, 0);
  lib.SdkFactoryReset(h, dl::kFactoryResetAll);
  ASSERT_TRUE(EventuallyInDiscovery(profiles[0].mac, [&](const DeviceRecord* r) { return r && r->ip == Ip(1); }));
  // The LAN side knows the factory address again, and takes changes again.
  EXPECT_EQ(link->responder().Device(profiles[0].mac)->network.ip, Ip(1));
  auto again = Request(1, "admin123");
  again.ip = subnet + "222";
  EXPECT_EQ(channel.ModifyNetworkByBroadcastV3(again), 1);
}

// The channel binds the reply port only for the length of each change. In
// between (a reset, a restart, a search) the port must stay this test's: any
// other socket on the machine that asks for a free port could be handed it,
// and the next change would then fail to open.
TEST_F(LanLinkTest, ReplyPortStaysTheTestsOwnBetweenChanges) {
  lanconfig::LanConfigChannel channel(Endpoints(), replyPort);
  ASSERT_EQ(channel.ModifyNetworkByBroadcastV3(Request(1, "admin123")), 1);
  // Other sockets take the port if they can, on loopback or on every
  // address, and keep it through the next change.
  std::vector<int> others;
  for (const char* ip : {"127.0.0.1", "0.0.0.0"}) {
    others.push_back(socket(AF_INET, SOCK_DGRAM, 0));
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(replyPort.port());
    inet_pton(AF_INET, ip, &a.sin_addr);
    EXPECT_NE(bind(others.back(), reinterpret_cast<sockaddr*>(&a), sizeof a), 0)
        << ip << ":" << replyPort.port() << " was free to take";
  }
  auto again = Request(1, "admin123");
  again.ip = subnet + "222";
  EXPECT_EQ(channel.ModifyNetworkByBroadcastV3(again), 1);
  for (const int fd : others) close(fd);
}

}  // namespace
