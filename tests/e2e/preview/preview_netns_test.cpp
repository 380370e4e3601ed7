// The preview as an installer meets it: divarod-devsim as a process with its
// devices on addresses of their own inside a private network, found by a
// broadcast search, and the preview window opened over the main window.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/device/sdk_device_info.h"
#include "libs/devicelink/devicelink.h"
#include "libs/liveview/network_live_view.h"
#include "tests/e2e/devsim/devsim_process.h"
#include "tests/e2e/support/direct_search.h"
#include "tests/e2e/support/program_driver.h"
#include "tests/support/private_network.h"
#include "tests/ui/mainwindow/main_window_fixture.h"
#include "tests/unit/liveview/live_view_judge.h"
#include "ui/devicelist/dlg_preview.h"
#include "ui/main/open_device_preview.h"

namespace {

constexpr char kFleet[] = R"([fleet]
answer_spread_ms=50
[defaults]
users=admin:admin123
[camera]
mac=00:1c:27:b0:00:01
ip=192.168.1.31
[refuser]
mac=00:1c:27:b0:00:02
ip=192.168.1.32
refuse_stream=1
)";

class PreviewPrivateNetwork : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(fleetDir.isValid());
    e2e::WriteFleet(fleetDir, kFleet);
  }

  // The devices as the program's search finds them (broadcast, fixed port).
  std::vector<DeviceRecord> Search() {
    devicelink::DeviceLinkLibrary lib;
    return e2e::SearchDirect(lib);
  }

  struct Seen {
    bool ran = false;
    QImage grab;
    liveview::ViewStatistics stats;
  };
  // Opens the preview; while it runs, waits for `pictures` painted frames
  // (none: looks at once) and grabs the video area.
  Seen Preview(const DeviceRecord& d, const char* password, int kind, uint64_t pictures) {
    Seen seen;
    answer = [&](const modal::ModalRequest& r) {
      if (r.kind != "preview") return 1;
      auto* preview = static_cast<CDlgPreview*>(r.dialog);
      auto& lib = liveview::NetworkLibrary();
      preview->show();  // as the modal run would
      if (pictures > 0) {
        EXPECT_TRUE(liveviewtest::WaitFor([&] { return lib.Statistics(preview->viewHandle).framesPainted >= pictures; }));
      }
      seen.ran = true;
      seen.grab = preview->videoArea.grab().toImage();
      seen.stats = lib.Statistics(preview->viewHandle);
      return 1;
    };
    OpenDevicePreview(QString::fromStdString(d.ip), "admin", password, d.tcpPort, kind);
    return seen;
  }

  QTemporaryDir fleetDir;
};

const DeviceRecord* Named(const std::vector<DeviceRecord>& records, const std::string& mac) {
  for (const auto& r : records)
    if (r.mac == mac) return &r;
  return nullptr;
}

TEST_F(PreviewPrivateNetwork, MainAndSubStreamShowTheDevicesPictureAndBadLoginsShowNothing) {
  DIVAROD_REQUIRE_PRIVATE_NETWORK();
  ::unsetenv(devicelink::kDiscoveryTargetsVariable);  // the production broadcast
  simtest::DevsimProcess sim;
  ASSERT_TRUE(sim.Start(DEVSIM_BIN, {"--fleet", fleetDir.filePath("fleet.ini").toStdString(), "--assign-addresses",
                                     "dvr1", "--no-lan"}))
      << sim.output;
  ShowWindow();
  dlg->setGeometry(40, 30, 1090, 700);
  const auto records = Search();
  const DeviceRecord* camera = Named(records, "00:1c:27:b0:00:01");
  const DeviceRecord* refuser = Named(records, "00:1c:27:b0:00:02");
  ASSERT_TRUE(camera && refuser);
  ASSERT_EQ(camera->ip, "192.168.1.31");

  struct Case {
    int kind;
    const char* code;
    QSize area;
  } streams[] = {{CDlgPreview::kStreamMain, "DIVAROD-TEST 192.168.1.31 STREAM 1", QSize(1030, 615)},
                 {CDlgPreview::kStreamSub, "DIVAROD-TEST 192.168.1.31 STREAM 2", QSize(1030, 615)}};
  for (const auto& c : streams) {
    SCOPED_TRACE(c.kind);
    const Seen seen = Preview(*camera, "admin123", c.kind, 3);
    ASSERT_TRUE(seen.ran);
    EXPECT_EQ(seen.grab.size(), c.area);
    EXPECT_EQ(liveviewtest::ReadPictureCode(seen.grab), c.code);
  }

  // A wrong password and a device that refuses streams: an empty area, no message.
  struct Refused {
    const DeviceRecord* device;
    const char* password;
  } refused[] = {{camera, "wrong"}, {refuser, "admin123"}};
  for (const auto& c : refused) {
    SCOPED_TRACE(c.device->mac);
    const Seen seen = Preview(*c.device, c.password, CDlgPreview::kStreamMain, 0);
    ASSERT_TRUE(seen.ran);
    EXPECT_TRUE(liveviewtest::IsBlank(seen.grab));
    EXPECT_EQ(seen.stats.framesReceived, 0u);
  }
  std::lock_guard lock(modalMutex);
  for (const auto& m : modals) EXPECT_EQ(m.kind, "preview") << m.text.toStdString();
  EXPECT_EQ(modals.size(), 4u);
}

}  // namespace
