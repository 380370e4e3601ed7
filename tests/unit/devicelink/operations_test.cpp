// The session operations, client against simulator over loopback TCP.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "core/device/device_library.h"
#include "libs/devicelink/session.h"
#include "tests/support/late_fifo_writer.h"
#include "tests/unit/devicelink/sim_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace dl = devicelib;

uint32_t GetU32(const std::vector<uint8_t>& b, std::size_t at) {
  uint32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}
void PutU32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }

class OperationsTest : public simtest::SimFixture {
 protected:
  int DeviceCount() override { return 5; }
  void Shape(std::vector<devsim::DeviceProfile>& d) override {
    d[1].refuseWrite = {155};
    d[1].refuseImport = true;
    d[2].answerDelayMs = 600;
    d[3].silent = true;
    d[4].stayDown = true;
  }
  void SetUp() override {
    SimFixture::SetUp();
    handle = Login(1);
    ASSERT_NE(handle, 0);
  }
  std::vector<uint8_t> GetBlock(int32_t h, int id, int size, int* result = nullptr) {
    std::vector<uint8_t> b(static_cast<std::size_t>(size), 0);
    int got = 0;
    const int r = lib.SdkGetParameter(h, id, -1, b.data(), size, &got, -1, 0, 0);
    if (result) *result = r;
    EXPECT_EQ(got, r == 1 ? size : got);
    return b;
  }
  std::string TempPath(const std::string& name) { return ::testing::TempDir() + "/" + subnet + name; }

  int32_t handle = 0;
};

TEST_F(OperationsTest, VersionQueryReturnsTheTextWithBuild) {
  char text[64];
  std::memset(text, 'x', sizeof text);
  int length = -1;
  ASSERT_EQ(lib.SdkQueryText(handle, dl::kQueryVersion, text, 64, &length, 1000), 1);
  EXPECT_STREQ(text, profiles[0].version.c_str());
  EXPECT_EQ(length, static_cast<int>(profiles[0].version.size()));
  // A short buffer gets a cut, NUL-terminated text.
  char small[8];
  ASSERT_EQ(lib.SdkQueryText(handle, dl::kQueryVersion, small, 8, &length, 1000), 1);
  EXPECT_STREQ(small, profiles[0].version.substr(0, 7).c_str());
  EXPECT_EQ(lib.SdkQueryText(handle, 51, text, 64, &length, 1000), 0);  // no such query
  EXPECT_EQ(lib.SdkQueryText(9999, dl::kQueryVersion, text, 64, &length, 1000), 0);  // no such login
}

TEST_F(OperationsTest, BlocksHaveTheirSizesAndPorts) {
  int r = 0;
  auto ports = GetBlock(handle, dl::kBlockNetworkPorts, dl::kBlockNetworkPortsSize, &r);
  ASSERT_EQ(r, 1);
  EXPECT_EQ(GetU32(ports, 68), 80u);
  EXPECT_EQ(GetU32(ports, 72), 34567u);
  auto rtsp = GetBlock(handle, dl::kBlockRtspPort, dl::kBlockRtspPortSize, &r);
  ASSERT_EQ(r, 1);
  EXPECT_EQ(rtsp[0] | (rtsp[1] << 8), 554);
  auto model = GetBlock(handle, dl::kBlockModel, dl::kBlockModelSize, &r);
  ASSERT_EQ(r, 1);
  EXPECT_EQ(GetU32(model, 0) & 1, 1u);
  EXPECT_STREQ(reinterpret_cast<const char*>(model.data() + 4), "DV-T100");
  // A buffer too small for the block gets nothing.
  GetBlock(handle, dl::kBlockModel, 100, &r);
  EXPECT_EQ(r, 0);
  GetBlock(handle, 4242, 100, &r);
  EXPECT_EQ(r, 0);
}

TEST_F(OperationsTest, ModelBlockIsStoredWholeAndShowsInDiscovery) {
  std::vector<uint8_t> block(dl::kBlockModelSize, 0);
  PutU32(block, 0, 1);
  std::memcpy(block.data() + 4, "Hall-Cam 2", 10);
  block[300] = 0x5A;  // a byte the program never reads: kept as written
  ASSERT_EQ(lib.SdkSetParameter(handle, dl::kBlockModel, -1, block.data(), dl::kBlockModelSize, -1), 1);
  EXPECT_EQ(GetBlock(handle, dl::kBlockModel, dl::kBlockModelSize), block);
  const auto records = Search();
  ASSERT_TRUE(ByMac(records, profiles[0].mac));
  EXPECT_EQ(ByMac(records, profiles[0].mac)->model, "Hall-Cam 2");
  // Bit 0 clear: the device reports no model.
  PutU32(block, 0, 0);
  ASSERT_EQ(lib.SdkSetParameter(handle, dl::kBlockModel, -1, block.data(), dl::kBlockModelSize, -1), 1);
  EXPECT_EQ(ByMac(Search(), profiles[0].mac)->model, "-- --");
}

TEST_F(OperationsTest, RefusedWritesLeaveTheBlock) {
  const int32_t h2 = Login(2);
  ASSERT_NE(h2, 0);
  auto rtsp = GetBlock(h2, dl::kBlockRtspPort, dl::kBlockRtspPortSize);
  auto changed = rtsp;
  changed[0] = 0x2A;
  EXPECT_EQ(lib.SdkSetParameter(h2, dl::kBlockRtspPort, -1, changed.data(), dl::kBlockRtspPortSize, -1), 0);
  EXPECT_EQ(GetBlock(h2, dl::kBlockRtspPort, dl::kBlockRtspPortSize), rtsp);
  // The same device takes block 81.
  auto ports = GetBlock(h2, dl::kBlockNetworkPorts, dl::kBlockNetworkPortsSize);
  PutU32(ports, 68, 8088);
  EXPECT_EQ(lib.SdkSetParameter(h2, dl::kBlockNetworkPorts, -1, ports.data(), dl::kBlockNetworkPortsSize, -1), 1);
  // A block of the wrong size is refused by every device.
  EXPECT_EQ(lib.SdkSetParameter(handle, dl::kBlockNetworkPorts, -1, ports.data(), 700, -1), 0);
  EXPECT_EQ(lib.SdkSetParameter(handle, 4242, -1, ports.data(), 700, -1), 0);
}

TEST_F(OperationsTest, UserTableHoldsTheUsersWithoutPasswords) {
  std::vector<uint8_t> table(dl::kUserTableSize, 0xCC);
  ASSERT_EQ(lib.SdkGetUserTable(handle, table.data(), 30000), 1);
  auto entry = [&](int i) { return table.data() + dl::kUserTableEntriesOffset + i * dl::kUserEntrySize; };
  EXPECT_STREQ(reinterpret_cast<const char*>(entry(0) + dl::kUserEntryNameOffset), "admin");
  EXPECT_STREQ(reinterpret_cast<const char*>(entry(1) + dl::kUserEntryNameOffset), "guest");
  EXPECT_EQ(entry(2)[dl::kUserEntryNameOffset], 0);
  for (int i = 0; i < 96; ++i) ASSERT_EQ(entry(0)[dl::kUserEntryPasswordOffset + i], 0);
}

TEST_F(OperationsTest, PasswordChangeTakesTheNewPassword) {
  std::vector<uint8_t> table(dl::kUserTableSize);
  ASSERT_EQ(lib.SdkGetUserTable(handle, table.data(), 30000), 1);
  const uint8_t* admin = table.data() + dl::kUserTableEntriesOffset;
  std::vector<uint8_t> oldEntry(admin, admin + dl::kUserEntrySize), newEntry = oldEntry;
  oldEntry[3000] = newEntry[3000] = 0x77;  // other bytes go back as they are
  std::strcpy(reinterpret_cast<char*>(oldEntry.data() + dl::kUserEntryPasswordOffset), "admin123");
  std::strcpy(reinterpret_cast<char*>(newEntry.data() + dl::kUserEntryPasswordOffset), "N3w!pass");
  // A wrong old password is refused and changes nothing.
  auto wrongOld = oldEntry;
  std::strcpy(reinterpret_cast<char*>(wrongOld.data() + dl::kUserEntryPasswordOffset), "guess");
  EXPECT_EQ(lib.SdkModifyUser(handle, dl::kModifyUserPassword, newEntry.data(), wrongOld.data(), 1000), 0);
  EXPECT_NE(Login(1, "admin", "admin123"), 0);

  ASSERT_EQ(lib.SdkModifyUser(handle, dl::kModifyUserPassword, newEntry.data(), oldEntry.data(), 1000), 1);
  int error = -1;
  EXPECT_EQ(Login(1, "admin", "admin123", &error), 0);
  EXPECT_EQ(error, 1);
  EXPECT_NE(Login(1, "admin", "N3w!pass"), 0);
  ASSERT_EQ(lib.SdkGetUserTable(handle, table.data(), 30000), 1);
  EXPECT_EQ(table[dl::kUserTableEntriesOffset + 3000], 0x77);
  EXPECT_EQ(table[dl::kUserTableEntriesOffset + dl::kUserEntryPasswordOffset], 0);
}

TEST_F(OperationsTest, PasswordThatFillsTheWholeFieldIsRefused) {
  std::vector<uint8_t> table(dl::kUserTableSize);
  ASSERT_EQ(lib.SdkGetUserTable(handle, table.data(), 30000), 1);
  const uint8_t* admin = table.data() + dl::kUserTableEntriesOffset;
  std::vector<uint8_t> oldEntry(admin, admin + dl::kUserEntrySize), newEntry = oldEntry;
  std::strcpy(reinterpret_cast<char*>(oldEntry.data() + dl::kUserEntryPasswordOffset), "admin123");
  std::memset(newEntry.data() + dl::kUserEntryPasswordOffset, 'p', 96);  // no NUL within the field
  EXPECT_EQ(lib.SdkModifyUser(handle, dl::kModifyUserPassword, newEntry.data(), oldEntry.data(), 1000), 0);
  // 95 bytes fit.
  newEntry[dl::kUserEntryPasswordOffset + 95] = 0;
  EXPECT_EQ(lib.SdkModifyUser(handle, dl::kModifyUserPassword, newEntry.data(), oldEntry.data(), 1000), 1);
  EXPECT_NE(Login(1, "admin", std::string(95, 'p').c_str()), 0);
}

TEST_F(OperationsTest, PasswordChangeForAnUnknownUserFails) {
  std::vector<uint8_t> entry(dl::kUserEntrySize, 0);
  std::strcpy(reinterpret_cast<char*>(entry.data() + dl::kUserEntryNameOffset), "ghost");
  EXPECT_EQ(lib.SdkModifyUser(handle, dl::kModifyUserPassword, entry.data(), entry.data(), 1000), 0);
  EXPECT_EQ(lib.SdkModifyUser(handle, 3, entry.data(), entry.data(), 1000), 0);
}

TEST_F(OperationsTest, ExportedConfigurationImportsIntoAnotherDevice) {
  std::vector<uint8_t> block(dl::kBlockModelSize, 0);
  PutU32(block, 0, 1);
  std::memcpy(block.data() + 4, "Exported", 8);
  ASSERT_EQ(lib.SdkSetParameter(handle, dl::kBlockModel, -1, block.data(), dl::kBlockModelSize, -1), 1);
  const std::string path = TempPath("export.coi");
  ASSERT_EQ(lib.SdkExportConfig(handle, 0, path.c_str(), 0, 0), 1);
  std::ifstream in(path, std::ios::binary);
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(file.find(profiles[0].mac), std::string::npos);

  const int32_t h3 = Login(3);  // a slow device, still well inside the bounds
  ASSERT_NE(h3, 0);
  ASSERT_EQ(lib.SdkImportConfig(h3, path.c_str(), 0, 0, 0, 0, 1), 1);
  EXPECT_EQ(ByMac(Search(), profiles[2].mac)->model, "Exported");
}

TEST_F(OperationsTest, ImportRefusals) {
  const std::string good = TempPath("good.coi");
  ASSERT_EQ(lib.SdkExportConfig(handle, 0, good.c_str(), 0, 0), 1);
  std::ifstream in(good, std::ios::binary);
  std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string damaged = TempPath("damaged.coi");
  std::string bad = file;
  bad[bad.find("block191=") + 12] ^= 1;
  std::ofstream(damaged, std::ios::binary) << bad;
  const std::string foreign = TempPath("foreign.coi");
  std::ofstream(foreign, std::ios::binary) << "not a configuration\n";

  EXPECT_EQ(lib.SdkImportConfig(handle, damaged.c_str(), 0, 0, 0, 0, 1), 0);
  EXPECT_EQ(lib.SdkImportConfig(handle, foreign.c_str(), 0, 0, 0, 0, 1), 0);
  EXPECT_EQ(lib.SdkImportConfig(handle, "/nonexistent/x.coi", 0, 0, 0, 0, 1), 0);
  const int32_t h2 = Login(2);  // refuses every import
  EXPECT_EQ(lib.SdkImportConfig(h2, good.c_str(), 0, 0, 0, 0, 1), 0);
  EXPECT_EQ(lib.SdkImportConfig(handle, good.c_str(), 0, 0, 0, 0, 1), 1);
  // Export to a folder that does not exist reports failure.
  EXPECT_EQ(lib.SdkExportConfig(handle, 0, "/nonexistent/dir/x.coi", 0, 0), 0);
}

// A FIFO or a device chosen as the configuration file fails at once: the
// path's kind is tested before it is opened.
TEST_F(OperationsTest, ImportOfAFifoOrADeviceFailsAtOnce) {
  testsupport::LateFifoWriter fifo(TempPath("import.fifo"));
  ASSERT_TRUE(fifo.made());
  int result = -1;
  EXPECT_TRUE(fifo.ReturnsBeforeAWriter([&] { result = lib.SdkImportConfig(handle, fifo.path().c_str(), 0, 0, 0, 0, 1); }));
  EXPECT_EQ(result, 0);
  EXPECT_EQ(lib.SdkImportConfig(handle, "/dev/zero", 0, 0, 0, 0, 1), 0);
}

TEST_F(OperationsTest, SlowAnswerBeyondTheTimeoutFailsAndTheNextCallStillWorks) {
  const int32_t h3 = Login(3);
  ASSERT_NE(h3, 0);
  char text[64];
  int length = 0;
  const auto start = Clock::now();
  EXPECT_EQ(lib.SdkQueryText(h3, dl::kQueryVersion, text, 64, &length, 200), 0);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(200 + 1500));
  // The late answer to the first query is skipped, not taken for this one's.
  int r = 0;
  GetBlock(h3, dl::kBlockModel, dl::kBlockModelSize, &r);
  EXPECT_EQ(r, 1);
  EXPECT_EQ(lib.SdkQueryText(h3, dl::kQueryVersion, text, 64, &length, 2000), 1);
  EXPECT_STREQ(text, profiles[2].version.c_str());
}

TEST_F(OperationsTest, SilentDeviceNeverHoldsACallerBeyondItsTimeout) {
  // The silent device cannot even be logged into (see the login tests); a
  // login that went silent afterwards is played by a device that stops
  // answering: the answer delay far beyond every bound.
  int error = 0;
  const auto start = Clock::now();
  EXPECT_EQ(Login(4, "admin", "admin123", &error), 0);
  EXPECT_EQ(error, 3);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(devicelink::kLoginTimeoutMs + 1500));
}

TEST_F(OperationsTest, RebootDropsTheLoginAndTheDeviceComesBack) {
  const auto found = Search();
  const auto* before = ByMac(found, profiles[0].mac);
  ASSERT_TRUE(before);
  const std::string startedBefore = before->devStartTime;
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));  // start times have a one-second grain
  ASSERT_EQ(lib.SdkReboot(handle), 1);
  char text[64];
  int length = 0;
  EXPECT_EQ(lib.SdkQueryText(handle, dl::kQueryVersion, text, 64, &length, 1000), 0);  // session gone
  lib.SdkLogout(handle);  // harmless on a dropped login
  // Away for a while (600 ms here), then back with a new start time.
  ASSERT_TRUE(WaitForRestart(profiles[0].mac));
  ASSERT_TRUE(EventuallyInDiscovery(profiles[0].mac, [&](const DeviceRecord* r) {
    return r && r->devStartTime != startedBefore;
  }));
  EXPECT_NE(Login(1), 0);
}

TEST_F(OperationsTest, DeviceThatStaysDownNeverComesBack) {
  const int32_t h = Login(5);
  ASSERT_NE(h, 0);
  ASSERT_EQ(lib.SdkReboot(h), 1);
  ASSERT_TRUE(WaitForPresence(profiles[4].mac, false));
  // Any other device would be back after its 600 ms restart.
  EXPECT_FALSE(WaitForPresence(profiles[4].mac, true, 3 * profiles[4].rebootMs));
  EXPECT_EQ(ByMac(Search(), profiles[4].mac), nullptr);
  int error = -1;
  EXPECT_EQ(Login(5, "admin", "admin123", &error), 0);
  EXPECT_EQ(error, 9);
}

TEST_F(OperationsTest, PortChangeTakesEffectAfterTheReboot) {
  auto ports = GetBlock(handle, dl::kBlockNetworkPorts, dl::kBlockNetworkPortsSize);
  PutU32(ports, 68, 8081);
  PutU32(ports, 72, 35000);
  ASSERT_EQ(lib.SdkSetParameter(handle, dl::kBlockNetworkPorts, -1, ports.data(), dl::kBlockNetworkPortsSize, -1), 1);
  EXPECT_EQ(ByMac(Search(), profiles[0].mac)->tcpPort, 34567);  // not before the restart
  ASSERT_EQ(lib.SdkReboot(handle), 1);
  ASSERT_TRUE(EventuallyInDiscovery(profiles[0].mac, [](const DeviceRecord* r) {
    return r && r->tcpPort == 35000 && r->httpPort == 8081;
  }));
  EXPECT_NE(Login(1, "admin", "admin123", nullptr, 35000), 0);
}

TEST_F(OperationsTest, FactoryResetRestoresTheFactoryStateAfterARestart) {
  std::vector<uint8_t> block(dl::kBlockModelSize, 0);
  PutU32(block, 0, 1);
  std::memcpy(block.data() + 4, "Renamed", 7);
  ASSERT_EQ(lib.SdkSetParameter(handle, dl::kBlockModel, -1, block.data(), dl::kBlockModelSize, -1), 1);
  ASSERT_TRUE(sim->ApplyNetworkChange(profiles[0].mac, {Ip(1), "255.255.0.0", subnet + "1", "1.1.1.1", "", 1}));
  EXPECT_EQ(ByMac(Search(), profiles[0].mac)->netmask, "255.255.0.0");
  handle = Login(1);
  ASSERT_NE(handle, 0);
  EXPECT_EQ(lib.SdkFactoryReset(handle, dl::kFactoryResetAll), 1);
  ASSERT_TRUE(WaitForRestart(profiles[0].mac));
  const auto records = Search();
  const auto* r = ByMac(records, profiles[0].mac);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->model, "DV-T100");
  EXPECT_EQ(r->netmask, "255.255.255.0");
  EXPECT_EQ(r->dhcpMode, 2);
}

TEST_F(OperationsTest, LoginsDroppedWithoutALogoutAreFreed) {
  // The program drops the handle after a factory reset without logging out;
  // the device's restart ends every login it had.
  const int32_t other = Login(1, "guest", "guest1");
  ASSERT_NE(other, 0);
  EXPECT_EQ(lib.OpenLogins(), 2u);
  lib.SdkFactoryReset(handle, dl::kFactoryResetAll);
  ASSERT_TRUE(WaitForRestart(profiles[0].mac));  // its connections closed before it came back
  ASSERT_NE(Login(2), 0);
  EXPECT_EQ(lib.OpenLogins(), 1u);
  char text[64];
  int length = 0;
  EXPECT_EQ(lib.SdkQueryText(other, dl::kQueryVersion, text, 64, &length, 1000), 0);
  lib.SdkLogout(other);  // harmless
}

TEST_F(OperationsTest, NetworkChangeShowsInTheNextDiscoveryAndMovesTheDevice) {
  const std::string moved = subnet + "77";
  ASSERT_TRUE(sim->ApplyNetworkChange(profiles[0].mac, {moved, "255.255.0.0", subnet + "1", "9.9.9.9", "1.0.0.1", 1}));
  const auto records = Search();
  const auto* r = ByMac(records, profiles[0].mac);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->ip, moved);
  EXPECT_EQ(r->netmask, "255.255.0.0");
  EXPECT_EQ(r->gateway, subnet + "1");
  EXPECT_EQ(r->dns1, "9.9.9.9");
  EXPECT_EQ(r->dns2, "1.0.0.1");
  EXPECT_EQ(r->dhcpMode, 1);
  // The old login ended with the change; the device answers on its new address.
  char text[64];
  int length = 0;
  EXPECT_EQ(lib.SdkQueryText(handle, dl::kQueryVersion, text, 64, &length, 1000), 0);
  uint8_t info[64];
  int error = -1;
  EXPECT_NE(lib.SdkLogin(moved.c_str(), 34567, "admin", "admin123", info, &error, 0, 0), 0);
  EXPECT_EQ(Login(1, "admin", "admin123", &error), 0);
  EXPECT_EQ(error, 9);
  EXPECT_FALSE(sim->ApplyNetworkChange("02:00:00:00:99:99", {moved, "", "", "", "", 1}));
}

TEST_F(OperationsTest, CallsOnOneLoginFromManyThreadsAllGetTheirOwnAnswers) {
  std::vector<std::thread> threads;
  std::atomic<int> good{0};
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 20; ++i) {
        char text[64];
        int length = 0;
        if (lib.SdkQueryText(handle, dl::kQueryVersion, text, 64, &length, 5000) == 1 &&
            profiles[0].version == text)
          ++good;
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(good, 160);
}

}  // namespace
