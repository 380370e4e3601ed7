// The library against devices that answer what no device should (played by
// scripted_device.h on loopback): senseless answers to a login, blocks and
// tables cut short, and replies to earlier requests without end.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "core/device/device_library.h"
#include "libs/devicelink/devicelink.h"
#include "libs/devicelink/session.h"
#include "tests/unit/devicelink/scripted_device.h"

namespace {

using Clock = std::chrono::steady_clock;
using scripted::Connection;
using scripted::ScriptedDevice;
namespace wire = devicelink::wire;
namespace dl = devicelib;

int64_t MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::vector<uint8_t> Header(const char* magic, uint32_t length) {
  auto header = wire::Encode(wire::Type::kChallenge, 0, 0, {});
  std::memcpy(header.data(), magic, 4);
  std::memcpy(header.data() + 16, &length, 4);
  return header;
}

TEST(HostileDevice, SenselessAnswersToALoginAreOtherErrors) {
  std::vector<uint8_t> garbage(64);
  for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(0x31 + i * 7);
  const struct {
    const char* what;
    wire::Type answered;  // the request that gets the senseless answer
    std::vector<uint8_t> answer;
  } cases[] = {
      {"garbage", wire::Type::kChallenge, garbage},
      {"a few bytes of garbage, the connection kept open", wire::Type::kChallenge, {'H', 'T', 'T', 'P', '/', '1'}},
      {"a bad magic", wire::Type::kChallenge, Header("DVLX", 0)},
      {"a frame longer than any", wire::Type::kChallenge, Header("DVLK", wire::kMaxPayload + 1)},
      {"a bad magic for the proof", wire::Type::kLogin, Header("XXXX", 16)},
  };
  for (const auto& c : cases) {
    ScriptedDevice device([&](Connection& link, const wire::Frame& f) {
      if (f.header.type == c.answered)
        link.Send(c.answer);
      else
        link.AnswerLogin(f);
    });
    ASSERT_NE(device.port(), 0);
    devicelink::DeviceLinkLibrary lib;
    int error = -1;
    const auto start = Clock::now();
    EXPECT_EQ(lib.SdkLogin("127.0.0.1", device.port(), "admin", "admin123", nullptr, &error, 0, 0), 0) << c.what;
    EXPECT_EQ(error, wire::kOtherError) << c.what;
    // Told at once, not after the login's bound as a device gone silent.
    EXPECT_LT(MsSince(start), devicelink::kLoginTimeoutMs - 1000) << c.what;
  }
}

// Logs in to the device; 0 when that failed.
int32_t LogIn(devicelink::DeviceLinkLibrary& lib, const ScriptedDevice& device) {
  int error = -1;
  return lib.SdkLogin("127.0.0.1", device.port(), "admin", "admin123", nullptr, &error, 0, 0);
}

TEST(HostileDevice, ABlockOrTableOfAnotherSizeFailsTheReadAndFillsNothing) {
  const struct {
    const char* what;
    uint32_t block;  // 0: the user table
    std::size_t size;
    std::size_t answered;
    int result;
  } cases[] = {
      {"block 81 whole", dl::kBlockNetworkPorts, dl::kBlockNetworkPortsSize, dl::kBlockNetworkPortsSize, 1},
      {"block 81 a byte short", dl::kBlockNetworkPorts, dl::kBlockNetworkPortsSize, dl::kBlockNetworkPortsSize - 1, 0},
      {"block 81 half", dl::kBlockNetworkPorts, dl::kBlockNetworkPortsSize, dl::kBlockNetworkPortsSize / 2, 0},
      {"block 81 empty", dl::kBlockNetworkPorts, dl::kBlockNetworkPortsSize, 0, 0},
      {"block 81 a byte long", dl::kBlockNetworkPorts, dl::kBlockNetworkPortsSize, dl::kBlockNetworkPortsSize + 1, 0},
      {"block 155 a byte short", dl::kBlockRtspPort, dl::kBlockRtspPortSize, dl::kBlockRtspPortSize - 1, 0},
      {"block 155 just its port", dl::kBlockRtspPort, dl::kBlockRtspPortSize, 2, 0},
      {"block 191 a byte short", dl::kBlockModel, dl::kBlockModelSize, dl::kBlockModelSize - 1, 0},
      {"user table whole", 0, dl::kUserTableSize, dl::kUserTableSize, 1},
      {"user table a byte short", 0, dl::kUserTableSize, dl::kUserTableSize - 1, 0},
      {"user table a byte long", 0, dl::kUserTableSize, dl::kUserTableSize + 1, 0},
  };
  for (const auto& c : cases) {
    const std::vector<uint8_t> answer(c.answered, 0x5A);
    ScriptedDevice device([&](Connection& link, const wire::Frame& f) {
      if (!link.AnswerLogin(f)) link.Reply(f, wire::kOk, answer);
    });
    devicelink::DeviceLinkLibrary lib;
    const int32_t handle = LogIn(lib, device);
    ASSERT_NE(handle, 0) << c.what;
    std::vector<uint8_t> buffer(c.size, 0xEE);
    int result = -1;
    if (c.block == 0) {
      result = lib.SdkGetUserTable(handle, buffer.data(), 30000);
    } else {
      int returned = -1;
      result = lib.SdkGetParameter(handle, static_cast<int>(c.block), -1, buffer.data(), static_cast<int>(c.size),
                                   &returned, -1, 0, 0);
    }
    EXPECT_EQ(result, c.result) << c.what;
    // A failed read leaves the buffer as it was: nothing the device never sent.
    const uint8_t expected = c.result == 1 ? 0x5A : 0xEE;
    EXPECT_EQ(std::count(buffer.begin(), buffer.end(), expected), static_cast<std::ptrdiff_t>(c.size)) << c.what;
  }
}

TEST(HostileDevice, RepliesToEarlierRequestsWithoutEndDoNotHoldACallPastItsBound) {
  // The device answers the query with stale replies (another sequence
  // number), a megabyte at a time, for up to 8 s. (On loopback the library
  // reads faster than one connection delivers; socket_io_test shows that a
  // read whose time is up takes nothing more, however much is waiting.)
  ScriptedDevice device([](Connection& link, const wire::Frame& f) {
    if (link.AnswerLogin(f)) return;
    std::vector<uint8_t> burst;
    const auto stale = wire::Encode(f.header.type, f.header.sequence + 1000, wire::kOk, wire::AsBytes("stale"));
    while (burst.size() < 1024 * 1024) burst.insert(burst.end(), stale.begin(), stale.end());
    const auto end = Clock::now() + std::chrono::seconds(8);
    while (Clock::now() < end && link.Send(burst)) {
    }
  });
  devicelink::DeviceLinkLibrary lib;
  const int32_t handle = LogIn(lib, device);
  ASSERT_NE(handle, 0);
  char text[64];
  int length = -1;
  const auto start = Clock::now();
  EXPECT_EQ(lib.SdkQueryText(handle, dl::kQueryVersion, text, sizeof text, &length, 300), 0);
  EXPECT_LT(MsSince(start), 300 + 2000);
}

}  // namespace
