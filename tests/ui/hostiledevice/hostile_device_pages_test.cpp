// The device list and the batch-operation page over the real device library,
// against a device that answers what no device should (scripted on
// loopback): what the installer is shown, and that nothing is written to a
// device whose block could not be read whole.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <vector>

#include "core/language/language.h"
#include "libs/devicelink/devicelink.h"
#include "tests/ui/operations/operate_page_fixture.h"
#include "tests/unit/devicelink/scripted_device.h"
#include "ui/devicelist/device_columns.h"
#include "ui/operations/batch_ports_payload.h"

namespace {

using scripted::Connection;
using scripted::ScriptedDevice;
namespace wire = devicelink::wire;
namespace msg = devicelink::msg;

constexpr const char* kIp = "127.0.0.1";

class HostileDevicePages : public operate_test::OperatePageTest {
 protected:
  void SetUp() override {
    OperatePageTest::SetUp();
    devicelib::SetDeviceLibrary(&link);
    // The shipped English texts, so each notice reads as the installer sees it.
    ASSERT_TRUE(GetThreadLanguage()->LoadFile(QCoreApplication::applicationDirPath() + "/Config File/Lang/eng.lang", 1));
  }
  void TearDown() override {
    OperatePageTest::TearDown();
    devicelib::SetDeviceLibrary(&library.fake);
    GetThreadLanguage()->LoadFile("", 1);
  }

  // A search that found the scripted device, on both pages.
  void Find(const ScriptedDevice& device) {
    DeviceRecord r = operate_test::MakeDevice("02:00:00:00:00:01", kIp);
    r.tcpPort = device.port();
    Search({r});
  }

  // The device logged in before the run, as the device list leaves it.
  void LogIn(const ScriptedDevice& device) {
    int error = -1;
    const int32_t handle = link.SdkLogin(kIp, device.port(), "admin", "admin123", nullptr, &error, 0, 0);
    ASSERT_NE(handle, 0);
    Record(kIp).loggedIn = 1;
    Record(kIp).loginHandle = handle;
    Record(kIp).userName = "admin";
  }

  devicelink::DeviceLinkLibrary link;
};

TEST_F(HostileDevicePages, ALoginAnsweredWithNonsenseShowsOtherErrors) {
  ScriptedDevice device([](Connection& c, const wire::Frame&) {
    const std::vector<uint8_t> garbage(32, 0xA5);
    c.Send(garbage);
  });
  Find(device);
  CDlgDevInfo& list = Main().devInfoPage;
  list.OnDeviceListDblClk(0, kColLoginState);
  QString expected = Text("info.login_fail_s");
  expected.replace("%s", Text("K0008_OtherErrors"));
  EXPECT_EQ(Shown().join(" | ").toStdString(), expected.toStdString());
  EXPECT_EQ(list.CellText(0, kColLoginState).toStdString(), Text("tx.unLogin").toStdString());
}

TEST_F(HostileDevicePages, AReadCutShortFailsTheDeviceAndNothingIsWritten) {
  const struct {
    const char* what;
    uint32_t shortBlock;  // 0: the user table
    bool passwordRun;     // else the port run
  } cases[] = {{"block 81 short", devicelib::kBlockNetworkPorts, false},
               {"block 155 short", devicelib::kBlockRtspPort, false},
               {"user table short", 0, true}};
  for (const auto& c : cases) {
    shown.clear();
    // Every read answered whole but the one cut short (to half its size);
    // every write and the reboot accepted.
    ScriptedDevice device([&](Connection& link, const wire::Frame& f) {
      if (link.AnswerLogin(f)) return;
      std::size_t size = 0;
      uint32_t asked = 0;
      if (f.header.type == wire::Type::kGetParameter) {
        asked = msg::DecodeParameterRequest(f.payload)->block;
        size = asked == devicelib::kBlockNetworkPorts ? devicelib::kBlockNetworkPortsSize
                                                      : devicelib::kBlockRtspPortSize;
      } else if (f.header.type == wire::Type::kGetUserTable) {
        size = devicelib::kUserTableSize;
      }
      if (asked == c.shortBlock) size /= 2;
      link.Reply(f, wire::kOk, std::vector<uint8_t>(size, 0x11));
    });
    Find(device);
    LogIn(device);
    Check({kIp});
    if (c.passwordRun) {
      const std::string oldPassword = "admin123", newPassword = "n3w-Pass";
      pm::SendPrivateMessage(op, pm::WM_BATCH_PASSWORD, reinterpret_cast<pm::WPARAM>(&oldPassword),
                             reinterpret_cast<pm::LPARAM>(&newPassword));
    } else {
      BatchPortsPayload payload{8080, 40000, 8554};
      pm::SendPrivateMessage(op, pm::WM_BATCH_PORTS, reinterpret_cast<pm::WPARAM>(&payload));
    }
    EXPECT_EQ(ItemOf(kIp)->text(0).toStdString(), Status(kIp, "tx.fail").toStdString()) << c.what;
    EXPECT_EQ(device.CountHeard(wire::Type::kSetParameter), 0) << c.what;
    EXPECT_EQ(device.CountHeard(wire::Type::kModifyUser), 0) << c.what;
    EXPECT_EQ(device.CountHeard(wire::Type::kReboot), 0) << c.what;
    EXPECT_EQ(Record(kIp).loggedIn, 1) << c.what;
    EXPECT_EQ(Shown().join(" | ").toStdString(), Text("info.operate_completed").toStdString()) << c.what;
  }
}

}  // namespace
