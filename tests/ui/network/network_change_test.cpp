// The network change of one listed device, end to end on loopback: the
// dialog answered as a user would, the real datagrams, and a responder that
// plays the devices.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTest>

#include "tests/ui/devinfo/device_page_fixture.h"
#include "tests/unit/lanconfig/lan_test_parts.h"
#include "tools/lanresponder/lan_responder.h"
#include "ui/devicelist/dlg_modify_network_new.h"

namespace devlist_test {
namespace {

using lanconfig::testing::FreeLoopbackUdpPort;

constexpr const char* kAuthMac = "00:12:34:56:78:01";
constexpr const char* kPlainMac = "00:12:34:56:78:02";

class NetworkChange : public DevicePageTest {
 protected:
  void SetUp() override {
    DevicePageTest::SetUp();
    const uint16_t receivePort = FreeLoopbackUdpPort();
    lanresponder::ResponderEndpoints e;
    e.bindIp = "127.0.0.1";
    e.listenPort = 0;
    e.replyPort = receivePort;
    e.broadcastIp = "127.0.0.1";
    responder = std::make_unique<lanresponder::LanResponder>(e);
    for (const char* mac : {kAuthMac, kPlainMac}) {
      lanresponder::SimulatedDevice d;
      d.mac = mac;
      d.capabilities = mac == kAuthMac ? 0x08 : 0x00;
      d.adminPassword = "admin-pass";
      d.network.ip = mac == kAuthMac ? "192.168.1.10" : "192.168.1.11";
      ASSERT_TRUE(responder->AddDevice(d));
    }
    std::string error;
    ASSERT_TRUE(responder->Start(&error)) << error;
    page->lanEndpoints.targetPort = responder->ListenPort();
    page->lanEndpoints.receivePort = receivePort;

    DeviceRecord auth = MakeDevice(kAuthMac, "192.168.1.10");
    auth.capabilities = 0x09;
    auth.loggedIn = 1;
    auth.loginHandle = 4242;
    auth.dns1 = "8.8.8.8";
    auth.dns2 = "8.8.4.4";
    DeviceRecord plain = MakeDevice(kPlainMac, "192.168.1.11");
    plain.dns1 = "8.8.8.8";
    plain.dns2 = "8.8.4.4";
    FinishSearch({auth, plain});

    answer = [this](const modal::ModalRequest& r) {
      if (r.kind == "tip") return 1;
      auto* dialog = qobject_cast<CDlgModifyNetworkNew*>(r.dialog);
      if (!dialog || closeDialog) return 2;
      runningDuringDialog = page->networkChangeRunning;
      dialog->ipField.setText(newIp);  // fills mask and gateway as typing does
      dialog->adminPasswordEdit.setText(adminPassword);
      if (dialog->dns1Field.isVisibleTo(dialog)) dialog->dns1Field.setText("1.1.1.1");
      dialog->modifyButton.click();
      return dialog->result();
    };
  }

  int RowOf(const char* mac) const {
    for (int row = 0; row < page->RowCount(); ++row)
      if (page->RecordAt(row)->mac == mac) return row;
    return -1;
  }

  std::unique_ptr<lanresponder::LanResponder> responder;
  QString newIp = "10.20.30.40";
  QString adminPassword = "admin-pass";
  bool closeDialog = false;
  uint8_t runningDuringDialog = 0;
};

TEST_F(NetworkChange, AuthenticatedChangeReaddressesTheDeviceAndRetiresItsLogin) {
  const int row = RowOf(kAuthMac);
  page->ModifyDeviceNetwork(row);
  EXPECT_EQ(Shown(), QStringList({"info.operate_success"}));
  const DeviceRecord* record = page->RecordAt(row);
  EXPECT_EQ(record->ip, "10.20.30.40");
  EXPECT_EQ(record->netmask, "255.0.0.0");
  EXPECT_EQ(record->gateway, "10.20.30.1");
  EXPECT_EQ(record->dns1, "1.1.1.1");
  EXPECT_EQ(record->dhcpMode, 2);
  EXPECT_EQ(page->CellText(row, kColIp), "10.20.30.40");
  EXPECT_EQ(page->CellText(row, kColLoginState), "tx.unLogin");
  EXPECT_EQ(record->loggedIn, 0);
  EXPECT_EQ(Main().retiredLoginHandles, RetiredLoginHandles({4242}));
  EXPECT_EQ(responder->Device(kAuthMac)->network.ip, "10.20.30.40");
  EXPECT_EQ(responder->Device(kAuthMac)->network.dns1, "1.1.1.1");
  EXPECT_EQ(Main().deviceMap.count(kAuthMac), 1u);  // still under its MAC
}

TEST_F(NetworkChange, PlainChangeKeepsDnsAndDhcp) {
  const int row = RowOf(kPlainMac);
  page->ModifyDeviceNetwork(row);
  EXPECT_EQ(Shown(), QStringList({"info.operate_success"}));
  const DeviceRecord* record = page->RecordAt(row);
  EXPECT_EQ(record->ip, "10.20.30.40");
  EXPECT_EQ(record->gateway, "10.20.30.1");
  EXPECT_EQ(record->dns1, "8.8.8.8");
  EXPECT_EQ(record->dhcpMode, 2);
  EXPECT_EQ(Main().retiredLoginHandles, RetiredLoginHandles({0}));  // it never logged in
  ASSERT_TRUE(responder->WaitForHeard(lanresponder::DatagramKind::kChangeV2, 1, std::chrono::seconds(2)));
  EXPECT_EQ(responder->CountHeard(lanresponder::DatagramKind::kChangeV3), 0u);
  EXPECT_TRUE(QTest::qWaitFor([&] { return responder->Device(kPlainMac)->network.ip == "10.20.30.40"; }, 2000));
}

TEST_F(NetworkChange, WrongPasswordIsAFailureAndChangesNothing) {
  adminPassword = "wrong";
  const int row = RowOf(kAuthMac);
  page->ModifyDeviceNetwork(row);
  EXPECT_EQ(Shown(), QStringList({"info.operate_fail"}));
  EXPECT_EQ(page->RecordAt(row)->ip, "192.168.1.10");
  EXPECT_EQ(page->RecordAt(row)->loggedIn, 1);
  EXPECT_EQ(page->CellText(row, kColIp), "192.168.1.10");
  EXPECT_TRUE(Main().retiredLoginHandles.empty());
}

TEST_F(NetworkChange, SilentDeviceTimesOut) {
  lanresponder::Misbehaviour silent;
  silent.silent = true;
  responder->SetMisbehaviour(kAuthMac, silent);
  page->ModifyDeviceNetwork(RowOf(kAuthMac));
  EXPECT_EQ(Shown(), QStringList({"info.operate_timeout"}));
  EXPECT_TRUE(Main().retiredLoginHandles.empty());
}

TEST_F(NetworkChange, ClosedDialogSendsNothing) {
  closeDialog = true;
  page->ModifyDeviceNetwork(RowOf(kAuthMac));
  EXPECT_TRUE(Shown().isEmpty());
  EXPECT_TRUE(responder->Heard().empty());
}

TEST_F(NetworkChange, NetButtonChangesTheSelectedDeviceWithTheFlagSet) {
  const int row = RowOf(kPlainMac);
  page->deviceList.setCurrentItem(page->deviceList.topLevelItem(row));
  page->OnNetworkButton();
  EXPECT_EQ(runningDuringDialog, 1);
  EXPECT_EQ(page->networkChangeRunning, 0);
  EXPECT_EQ(page->RecordAt(row)->ip, "10.20.30.40");
}

TEST_F(NetworkChange, RowWithoutADeviceFails) {
  page->ModifyDeviceNetwork(5);
  EXPECT_EQ(Shown(), QStringList({"info.operate_fail"}));
  EXPECT_TRUE(Shown("network").isEmpty());
}

}  // namespace
}  // namespace devlist_test
