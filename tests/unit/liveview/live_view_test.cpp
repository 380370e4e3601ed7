// The live-view library against the device simulator on loopback: real
// sockets, real H.264 both ways, pictures read back from the window.
#include <gtest/gtest.h>

#include <QWidget>

#include "libs/liveview/network_live_view.h"
#include "live_view_judge.h"
#include "tests/unit/devicelink/sim_fixture.h"

namespace {

using liveviewtest::ReadPictureCode;
using liveviewtest::WaitFor;

class LiveViewTest : public simtest::SimFixture {
 protected:
  int DeviceCount() override { return 8; }
  void Shape(std::vector<devsim::DeviceProfile>& devices) override {
    devices[1].refuseStream = true;    // dev2
    devices[2].streamStallAfter = 5;   // dev3
    devices[3].kind = 1;               // dev4: no live view at all
    devices[4].streamPictureWidth = 15360;  // dev5: pictures far larger than announced
    devices[4].streamPictureHeight = 15360;
    devices[5].streamCaptureUs = uint64_t{1} << 63;  // dev6: a capture time beyond the signed range
    devices[6].mainStreamWidth = 3840;  // dev7: a 4K main stream
    devices[6].mainStreamHeight = 2160;
    // dev8: every frame's parameter sets after its slices, for a picture far
    // beyond the level cropped to the sub stream's announced 640 x 360.
    devices[7].streamPictureWidth = 16384;
    devices[7].streamPictureHeight = 10880;
    devices[7].streamFlat.shownWidth = 640;
    devices[7].streamFlat.shownHeight = 360;
    devices[7].streamFlat.parameterSetsAfterSlices = true;
    devices[7].streamFlat.parameterSetId = 1;
    devices[7].streamKeyFrameEvery = 1;
  }

  void SetUp() override {
    SimFixture::SetUp();
    window.resize(640, 360);
    window.show();
    ASSERT_EQ(view.ZODuruvCreate(&handle, &window, 1, 1, 1), liveview::kOk);
    ASSERT_GT(handle, 0);
  }
  void TearDown() override {
    view.ZODuruvInvalidate();
    SimFixture::TearDown();
  }

  std::string Address(int device, int stream, const char* password = "admin123") {
    return "zeve://admin:" + std::string(password) + "@" + Ip(device) + ":34567/mode=real&idc=1&ids=" +
           std::to_string(stream);
  }
  uint64_t Painted() { return view.Statistics(handle).framesPainted; }

  QWidget window;
  liveview::NetworkLiveView view;
  int handle = 0;
};

TEST_F(LiveViewTest, MainAndSubStreamShowThatDevicesPictureScaledToTheWindow) {
  struct Case {
    int stream;
    int width, height;
  } cases[] = {{1, 1280, 720}, {2, 640, 360}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stream);
    ASSERT_EQ(view.ZODuruvViewOpen(handle, 0, Address(1, c.stream).c_str()), liveview::kOk);
    EXPECT_EQ(view.Format(handle).width, c.width);
    EXPECT_EQ(view.Format(handle).height, c.height);
    ASSERT_EQ(view.ZODuruvViewStart(handle, 0), liveview::kOk);
    ASSERT_TRUE(WaitFor([&] { return Painted() >= 3; }));
    const QImage grab = window.grab().toImage();
    EXPECT_EQ(grab.size(), QSize(640, 360));
    EXPECT_EQ(ReadPictureCode(grab), "DIVAROD-TEST " + Ip(1) + " STREAM " + std::to_string(c.stream));
    EXPECT_EQ(view.ZODuruvViewStop(handle, 0), liveview::kOk);
    EXPECT_EQ(view.ZODuruvViewClose(handle, 0), liveview::kOk);
  }
}

TEST_F(LiveViewTest, SetSizeScalesThePicturesThatFollow) {
  ASSERT_EQ(view.ZODuruvViewOpen(handle, 0, Address(1, 2).c_str()), liveview::kOk);
  ASSERT_EQ(view.ZODuruvViewStart(handle, 0), liveview::kOk);
  ASSERT_TRUE(WaitFor([&] { return Painted() >= 1; }));
  window.resize(960, 540);
  ASSERT_EQ(view.ZODuruvSetSize(handle, 960, 540), liveview::kOk);
  const uint64_t before = Painted();
  ASSERT_TRUE(WaitFor([&] { return Painted() >= before + 3; }));
  EXPECT_EQ(ReadPictureCode(window.grab().toImage()), "DIVAROD-TEST " + Ip(1) + " STREAM 2");
}

TEST_F(LiveViewTest, OpenAnswersZeroOnlyWhenLoginAndStreamAreAccepted) {
  struct Case {
    const char* what;
    std::string address;
    int expected;
  } cases[] = {
      {"wrong password", Address(1, 1, "wrong"), liveview::kLoginRefused},
      {"device refuses streams", Address(2, 1), liveview::kStreamRefused},
      {"device without live view", Address(4, 1), liveview::kStreamRefused},
      {"nothing listening", "zeve://admin:admin123@" + Ip(1) + ":1/mode=real&idc=1&ids=1", liveview::kCannotReach},
      {"address that does not parse", "zeve://admin:admin123@" + Ip(1) + "/x", liveview::kBadAddress},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(view.ZODuruvViewOpen(handle, 0, c.address.c_str()), c.expected);
    EXPECT_EQ(view.ZODuruvViewStart(handle, 0), liveview::kNotOpened);
  }
  EXPECT_EQ(view.ZODuruvViewOpen(handle, 0, nullptr), liveview::kBadHandle);
  EXPECT_TRUE(liveviewtest::IsBlank(window.grab().toImage()));
  EXPECT_EQ(Painted(), 0u);
}

TEST_F(LiveViewTest, AStalledStreamKeepsItsLastPictureAndStopsAtOnce) {
  ASSERT_EQ(view.ZODuruvViewOpen(handle, 0, Address(3, 2).c_str()), liveview::kOk);
  ASSERT_EQ(view.ZODuruvViewStart(handle, 0), liveview::kOk);
  ASSERT_TRUE(WaitFor([&] { return view.Statistics(handle).framesReceived >= 5; }));
  ASSERT_TRUE(WaitFor([&] { return Painted() >= 1; }));
  // The device keeps the connection and sends nothing more: the receiving
  // thread waits, and stopping the view must still end it.
  EXPECT_EQ(view.Statistics(handle).framesReceived, 5u);
  EXPECT_EQ(ReadPictureCode(window.grab().toImage()), "DIVAROD-TEST " + Ip(3) + " STREAM 2");
  EXPECT_EQ(view.ZODuruvViewStop(handle, 0), liveview::kOk);
  EXPECT_EQ(view.ZODuruvViewClose(handle, 0), liveview::kOk);
  EXPECT_TRUE(liveviewtest::IsBlank(window.grab().toImage()));
}

TEST_F(LiveViewTest, ASimulatedCameraSendingMoreThanItAnnouncedShowsNothing) {
  ASSERT_EQ(view.ZODuruvViewOpen(handle, 0, Address(5, 2).c_str()), liveview::kOk);
  EXPECT_EQ(view.Format(handle).width, 640);
  ASSERT_EQ(view.ZODuruvViewStart(handle, 0), liveview::kOk);
  ASSERT_TRUE(WaitFor([&] { return view.Statistics(handle).framesRefused >= 3; }));
  EXPECT_EQ(Painted(), 0u);
  EXPECT_TRUE(liveviewtest::IsBlank(window.grab().toImage()));
}

TEST_F(LiveViewTest, ASimulatedCameraSendingParameterSetsAfterItsSlicesShowsNothing) {
  ASSERT_EQ(view.ZODuruvViewOpen(handle, 0, Address(8, 2).c_str()), liveview::kOk);
  ASSERT_EQ(view.ZODuruvViewStart(handle, 0), liveview::kOk);
  ASSERT_TRUE(WaitFor([&] { return view.Statistics(handle).framesRefused >= 5; }));
  EXPECT_EQ(Painted(), 0u);
  EXPECT_TRUE(liveviewtest::IsBlank(window.grab().toImage()));
}

TEST_F(LiveViewTest, ASimulatedCaptureTimeBeyondTheSignedRangeGivesNoDelay) {
  ASSERT_EQ(view.ZODuruvViewOpen(handle, 0, Address(6, 2).c_str()), liveview::kOk);
  ASSERT_EQ(view.ZODuruvViewStart(handle, 0), liveview::kOk);
  ASSERT_TRUE(WaitFor([&] { return Painted() >= 3; }));
  const auto stats = view.Statistics(handle);
  EXPECT_TRUE(stats.delaysUs.empty());
  EXPECT_EQ(stats.delaysLeftOut, stats.framesPainted);
  EXPECT_EQ(ReadPictureCode(window.grab().toImage()), "DIVAROD-TEST " + Ip(6) + " STREAM 2");
}

TEST_F(LiveViewTest, AStreamAnnouncedAndSentAt3840x2160IsShown) {
  ASSERT_EQ(view.ZODuruvViewOpen(handle, 0, Address(7, 1).c_str()), liveview::kOk);
  EXPECT_EQ(view.Format(handle).width, 3840);
  EXPECT_EQ(view.Format(handle).height, 2160);
  ASSERT_EQ(view.ZODuruvViewStart(handle, 0), liveview::kOk);
  ASSERT_TRUE(WaitFor([&] { return Painted() >= 3; }, 30000));
  EXPECT_EQ(view.Statistics(handle).framesRefused, 0u);
  EXPECT_EQ(ReadPictureCode(window.grab().toImage()), "DIVAROD-TEST " + Ip(7) + " STREAM 1");
}

TEST_F(LiveViewTest, CallsOnUnknownHandlesAreRefused) {
  EXPECT_EQ(view.ZODuruvViewOpen(0, 0, Address(1, 1).c_str()), liveview::kBadHandle);
  EXPECT_EQ(view.ZODuruvViewStart(0, 0), liveview::kBadHandle);
  EXPECT_EQ(view.ZODuruvViewStop(0, 0), liveview::kBadHandle);
  EXPECT_EQ(view.ZODuruvSetSize(0, 10, 10), liveview::kBadHandle);
  int other = 0;
  EXPECT_EQ(view.ZODuruvCreate(&other, nullptr, 1, 1, 1), liveview::kBadHandle);
  EXPECT_EQ(other, 0);
}

}  // namespace
