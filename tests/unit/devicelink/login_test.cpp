// Login and the login error codes, client against simulator.
#include <gtest/gtest.h>

#include "libs/devicelink/session.h"
#include "tests/unit/devicelink/sim_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

class LoginTest : public simtest::SimFixture {
 protected:
  int DeviceCount() override { return 5; }
  void Shape(std::vector<devsim::DeviceProfile>& d) override {
    d[1].lockAfter = 3;
    d[1].lockMs = 1500;
    d[2].silent = true;
    d[3].refuseLogin = 7;
    d[4].answerDelayMs = 700;
  }
};

TEST_F(LoginTest, RightCredentialsGiveDistinctHandles) {
  int error = -1;
  const int32_t a = Login(1, "admin", "admin123", &error);
  EXPECT_NE(a, 0);
  EXPECT_EQ(error, 0);
  const int32_t b = Login(1, "guest", "guest1", &error);
  EXPECT_NE(b, 0);
  EXPECT_NE(a, b);
  lib.SdkLogout(a);
  lib.SdkLogout(b);
  lib.SdkLogout(b);  // twice is harmless
}

TEST_F(LoginTest, RefusalsCarryTheCodesTheProgramShows) {
  struct Case {
    int device;
    const char* user;
    const char* password;
    uint16_t port;
    int error;
  } cases[] = {
      {1, "admin", "wrong", 34567, 1},     // wrong password
      {1, "admin", "", 34567, 1},          // empty password
      {1, "nobody", "admin123", 34567, 2}, // unknown user
      {4, "admin", "admin123", 34567, 7},  // the device refuses logins
      {1, "admin", "admin123", 34999, 9},  // nothing listens there: cannot reach the host
  };
  for (const auto& c : cases) {
    int error = -1;
    EXPECT_EQ(Login(c.device, c.user, c.password, &error, c.port), 0) << c.user << "/" << c.password;
    EXPECT_EQ(error, c.error) << c.user << "/" << c.password << " on " << c.device;
  }
}

TEST_F(LoginTest, UnparsableAddressCannotBeReached) {
  int error = -1;
  EXPECT_EQ(lib.SdkLogin("not-an-ip", 34567, "admin", "admin123", nullptr, &error, 0, 0), 0);
  EXPECT_EQ(error, 9);
}

TEST_F(LoginTest, SilentDeviceTimesOutWithinTheLoginBound) {
  int error = -1;
  const auto start = Clock::now();
  EXPECT_EQ(Login(3, "admin", "admin123", &error), 0);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  EXPECT_EQ(error, 3);
  EXPECT_GE(ms, devicelink::kLoginTimeoutMs - 100);
  EXPECT_LT(ms, devicelink::kLoginTimeoutMs + 2000);
}

TEST_F(LoginTest, RepeatedFailuresLockTheUserForAWhile) {
  int error = -1;
  Clock::time_point lastFailureSent;
  for (int i = 0; i < 3; ++i) {
    lastFailureSent = Clock::now();
    EXPECT_EQ(Login(2, "admin", "bad", &error), 0);
    EXPECT_EQ(error, 1);
  }
  // Locked now: even the right password is refused, and another user is not affected.
  EXPECT_EQ(Login(2, "admin", "admin123", &error), 0);
  EXPECT_EQ(error, 5);
  EXPECT_NE(Login(2, "guest", "guest1", &error), 0);
  // The lock ends by itself: the first login that gets through comes no
  // sooner than the lock time after the last failure was sent.
  const auto budgetEnd = Clock::now() + std::chrono::seconds(15);
  int32_t handle = 0;
  while (handle == 0 && Clock::now() < budgetEnd) {
    handle = Login(2, "admin", "admin123", &error);
    if (handle == 0) {
      EXPECT_EQ(error, 5);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  EXPECT_NE(handle, 0);
  EXPECT_EQ(error, 0);
  EXPECT_GE(Clock::now() - lastFailureSent, std::chrono::milliseconds(1500));
}

TEST_F(LoginTest, SuccessResetsTheFailureCount) {
  int error = -1;
  EXPECT_EQ(Login(2, "admin", "bad", &error), 0);
  EXPECT_EQ(Login(2, "admin", "bad", &error), 0);
  EXPECT_NE(Login(2, "admin", "admin123", &error), 0);
  EXPECT_EQ(Login(2, "admin", "bad", &error), 0);
  EXPECT_EQ(Login(2, "admin", "bad", &error), 0);
  EXPECT_NE(Login(2, "admin", "admin123", &error), 0);
}

TEST_F(LoginTest, SlowDeviceStillLogsInWithinTheBound) {
  int error = -1;
  EXPECT_NE(Login(5, "admin", "admin123", &error), 0);
  EXPECT_EQ(error, 0);
}

}  // namespace
