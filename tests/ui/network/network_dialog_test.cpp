// The network dialog: its two shapes, the DHCP box, the auto-filled mask and
// gateway, and the validation of Modify.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "tests/support/qstring_units.h"
#include "ui/framework/modal_seam.h"
#include "ui/devicelist/dlg_modify_network_new.h"

namespace {

DeviceRecord Request(int capabilities, uint8_t dhcpMode = 2) {
  DeviceRecord r;
  r.mac = "00:12:34:56:78:9a";
  r.ip = "192.168.1.20";
  r.netmask = "255.255.255.0";
  r.gateway = "192.168.1.1";
  r.dns1 = "8.8.8.8";
  r.dns2 = "8.8.4.4";
  r.dhcpMode = dhcpMode;
  r.capabilities = capabilities;
  return r;
}

struct DialogRun {
  int result = 0;
  QStringList tips;
};

// Runs the dialog through the seam; act works on the initialised window and
// its tips are answered and remembered.
DialogRun RunDialog(CDlgModifyNetworkNew& dialog, const std::function<void(CDlgModifyNetworkNew&)>& act) {
  DialogRun run;
  modal::SetAnswerer([&](const modal::ModalRequest& r) {
    if (r.kind == "tip") {
      run.tips << r.text;
      EXPECT_EQ(r.icon, 0x30);
      return 1;
    }
    auto* d = qobject_cast<CDlgModifyNetworkNew*>(r.dialog);
    act(*d);
    return d->result();
  });
  run.result = dialog.DoModal();
  modal::SetAnswerer({});
  return run;
}

void TypeAddress(CIpAddressField& field, const QString& dotted) {
  const QStringList parts = dotted.split('.');
  for (int i = 0; i < 4; ++i) {
    field.octetBox(i)->clear();
    QTest::keyClicks(field.octetBox(i), parts.value(i));
  }
}

TEST(NetworkDialog, PlainDeviceGetsTheShortWindow) {
  CDlgModifyNetworkNew full, plain;
  full.request = Request(0x08);
  plain.request = Request(0x01);
  int fullHeight = 0, plainHeight = 0, fullModifyY = 0, plainModifyY = 0, fullIpY = 0, plainIpY = 0;
  RunDialog(full, [&](CDlgModifyNetworkNew& d) {
    fullHeight = d.height();
    fullModifyY = d.modifyButton.y();
    fullIpY = d.ipField.y();
    for (QWidget* w : {static_cast<QWidget*>(&d.adminPasswordEdit), static_cast<QWidget*>(&d.dhcpCheck),
                       static_cast<QWidget*>(&d.dns1Field), static_cast<QWidget*>(&d.dns2Field)})
      EXPECT_TRUE(w->isVisibleTo(&d));
  });
  RunDialog(plain, [&](CDlgModifyNetworkNew& d) {
    plainHeight = d.height();
    plainModifyY = d.modifyButton.y();
    plainIpY = d.ipField.y();
    for (QWidget* w : {static_cast<QWidget*>(&d.adminPasswordEdit), static_cast<QWidget*>(&d.dhcpCheck),
                       static_cast<QWidget*>(&d.dns1Field), static_cast<QWidget*>(&d.dns2Field),
                       static_cast<QWidget*>(&d.securityCaption), static_cast<QWidget*>(&d.netParamLine)})
      EXPECT_FALSE(w->isVisibleTo(&d));
    EXPECT_TRUE(d.maskField.isVisibleTo(&d));
  });
  EXPECT_EQ(plainHeight, fullHeight - 210);
  EXPECT_EQ(plainModifyY, fullModifyY - 210);
  EXPECT_EQ(plainIpY, fullIpY - 140);
  EXPECT_EQ(full.useAuthenticatedDatagram, 1);
  EXPECT_EQ(plain.useAuthenticatedDatagram, 0);
}

TEST(NetworkDialog, FillsTheFieldsFromTheRequest) {
  CDlgModifyNetworkNew dialog;
  dialog.request = Request(0x08);
  RunDialog(dialog, [](CDlgModifyNetworkNew& d) {
    EXPECT_EQ(d.ipField.text(), "192.168.1.20");
    EXPECT_EQ(d.macEdit.text(), "00:12:34:56:78:9a");
    EXPECT_FALSE(d.macEdit.isEnabled());
    EXPECT_EQ(d.maskField.text(), "255.255.255.0");
    EXPECT_EQ(d.gatewayField.text(), "192.168.1.1");
    EXPECT_EQ(d.dns1Field.text(), "8.8.8.8");
    EXPECT_EQ(d.dns2Field.text(), "8.8.4.4");
    EXPECT_FALSE(d.dhcpCheck.isChecked());
    EXPECT_TRUE(d.ipField.isEnabled());
  });
}

TEST(NetworkDialog, DhcpBoxDisablesTheAddressFieldsEvenWhenHidden) {
  for (int capabilities : {0x08, 0x00}) {
    CDlgModifyNetworkNew dialog;
    dialog.request = Request(capabilities, 1);
    RunDialog(dialog, [&](CDlgModifyNetworkNew& d) {
      EXPECT_TRUE(d.dhcpCheck.isChecked()) << capabilities;
      for (CIpAddressField* f : {&d.ipField, &d.maskField, &d.gatewayField}) EXPECT_FALSE(f->isEnabled());
      EXPECT_TRUE(d.dns1Field.isEnabled());
      EXPECT_TRUE(d.adminPasswordEdit.isEnabled());
      if (capabilities) {
        d.dhcpCheck.click();  // off: the fields come back
        for (CIpAddressField* f : {&d.ipField, &d.maskField, &d.gatewayField}) EXPECT_TRUE(f->isEnabled());
      }
    });
  }
}

TEST(NetworkDialog, OtherDhcpValuesLeaveTheBoxClear) {
  CDlgModifyNetworkNew dialog;
  dialog.request = Request(0x08, 0);
  RunDialog(dialog, [](CDlgModifyNetworkNew& d) {
    EXPECT_FALSE(d.dhcpCheck.isChecked());
    EXPECT_TRUE(d.ipField.isEnabled());
  });
}

TEST(NetworkDialog, TypingTheIpFillsGatewayAndMask) {
  struct {
    const char* ip;
    const char* gateway;
    const char* mask;
  } cases[] = {{"10.1.2.3", "10.1.2.1", "255.0.0.0"},
               {"172.20.0.5", "172.20.0.1", "255.255.0.0"},
               {"8.8.8.8", "8.8.8.1", "0.0.0.0"},
               {"10.255.255.255", "10.255.255.1", "0.0.0.0"},
               {"192.168.7.9", "192.168.7.1", "255.255.255.0"}};
  for (const auto& c : cases) {
    CDlgModifyNetworkNew dialog;
    dialog.request = Request(0x08);
    RunDialog(dialog, [&](CDlgModifyNetworkNew& d) {
      d.maskField.setText("255.255.255.252");  // typed by the user: overwritten
      TypeAddress(d.ipField, c.ip);
      EXPECT_EQ(d.gatewayField.text(), c.gateway) << c.ip;
      EXPECT_EQ(d.maskField.text(), c.mask) << c.ip;
    });
  }
}

TEST(NetworkDialog, ModifyRefusesInvalidInputAndStaysOpen) {
  struct {
    const char* ip;
    const char* mask;
    const char* gateway;
  } refused[] = {{"192.168.1.255", "255.255.255.0", "192.168.1.1"},
                 {"192.168.1.20", "255.255.0.255", "192.168.1.1"},
                 {"192.168.1.20", "255.255.255.0", "192.168.2.1"},
                 {"", "255.255.255.0", "192.168.1.1"},
                 {"8.8.8.8", "", "8.8.8.1"}};
  for (const auto& c : refused) {
    CDlgModifyNetworkNew dialog;
    dialog.request = Request(0x08);
    const DialogRun run = RunDialog(dialog, [&](CDlgModifyNetworkNew& d) {
      d.ipField.setText(c.ip);
      d.maskField.setText(c.mask);
      d.gatewayField.setText(c.gateway);
      d.modifyButton.click();
    });
    EXPECT_EQ(run.tips, QStringList({"info.IP_set_error"})) << c.ip << " " << c.mask << " " << c.gateway;
    EXPECT_NE(run.result, 1);
    EXPECT_EQ(dialog.request.ip, "192.168.1.20");  // the request is untouched
  }
}

TEST(NetworkDialog, PublicAddressNeedsATypedMask) {
  CDlgModifyNetworkNew dialog;
  dialog.request = Request(0x00);
  const DialogRun run = RunDialog(dialog, [](CDlgModifyNetworkNew& d) {
    TypeAddress(d.ipField, "8.8.8.8");
    d.modifyButton.click();  // the mask reads 0.0.0.0: refused
    EXPECT_EQ(d.result(), 0);
    TypeAddress(d.maskField, "255.255.255.0");
    d.modifyButton.click();
  });
  EXPECT_EQ(run.tips.size(), 1);
  EXPECT_EQ(run.result, 1);
  EXPECT_EQ(dialog.request.ip, "8.8.8.8");
  EXPECT_EQ(dialog.request.netmask, "255.255.255.0");
  EXPECT_EQ(dialog.request.gateway, "8.8.8.1");
}

TEST(NetworkDialog, AcceptedModifyFillsTheRequest) {
  CDlgModifyNetworkNew dialog;
  dialog.request = Request(0x08, 1);
  const DialogRun run = RunDialog(dialog, [](CDlgModifyNetworkNew& d) {
    d.adminPasswordEdit.setText("pässwort");
    TypeAddress(d.dns1Field, "1.1.1.1");
    d.dns2Field.clear();
    d.modifyButton.click();  // DHCP on: the greyed fields are still validated and sent
  });
  EXPECT_TRUE(run.tips.isEmpty());
  EXPECT_EQ(run.result, 1);
  EXPECT_EQ(dialog.request.ip, "192.168.1.20");
  EXPECT_EQ(dialog.request.netmask, "255.255.255.0");
  EXPECT_EQ(dialog.request.gateway, "192.168.1.1");
  EXPECT_EQ(dialog.request.dns1, "1.1.1.1");
  EXPECT_EQ(dialog.request.dns2, "0.0.0.0");
  EXPECT_EQ(dialog.request.password, "pässwort");
  EXPECT_EQ(dialog.request.dhcpMode, 1);
}

TEST(NetworkDialog, AdminPasswordIsCutToWhatTheDatagramCarries) {
  CDlgModifyNetworkNew dialog;
  dialog.request = Request(0x08);
  const DialogRun run = RunDialog(dialog, [](CDlgModifyNetworkNew& d) {
    QTest::keyClicks(&d.adminPasswordEdit, QString(100, 'p'));
    EXPECT_EQ(d.adminPasswordEdit.text().size(), 96);
    d.adminPasswordEdit.setText(QString(60, QChar(0x00E4)));  // two bytes each in UTF-8
    EXPECT_EQ(d.adminPasswordEdit.text().size(), 48);
    d.modifyButton.click();
  });
  EXPECT_EQ(run.result, 1);
  EXPECT_EQ(dialog.request.password.size(), 96u);
}

TEST(NetworkDialog, AdminPasswordIsCutBetweenWholeCharacters) {
  // 96 bytes fit. A surrogate without its partner counts as one byte ("?").
  const QString camera = QString::fromUtf8("\xF0\x9F\x93\xB7");  // a surrogate pair, 4 bytes
  const QString low(QChar(0xDCF7));                                 // a low surrogate alone
  const struct {
    const char* name;
    QString typed;
    QString shown;
  } cases[] = {
      {"pair over", QString(93, 'p') + camera, QString(93, 'p')},
      // A low surrogate alone is a character of its own: neither the pair
      // before it nor the letter before it goes with it.
      {"lone low surrogate after a pair", QString(94, 'p') + camera + low, QString(94, 'p')},
      {"lone low surrogate after a letter", QString(95, 'p') + "a" + low, QString(95, 'p') + "a"},
      {"paste", QString(30000, 'p'), QString(96, 'p')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CDlgModifyNetworkNew dialog;
    dialog.adminPasswordEdit.setText(c.typed);
    EXPECT_EQ(dialog.adminPasswordEdit.text(), c.shown);
  }
}

TEST(NetworkDialog, EnterAndEscapeDoNotCloseItTheCloseButtonDoes) {
  CDlgModifyNetworkNew dialog;
  dialog.request = Request(0x08);
  const DialogRun run = RunDialog(dialog, [](CDlgModifyNetworkNew& d) {
    QTest::keyClick(&d, Qt::Key_Escape);
    QTest::keyClick(&d, Qt::Key_Return);
    EXPECT_EQ(d.result(), 0);
    d.closeButton.click();
  });
  EXPECT_EQ(run.result, 2);
  EXPECT_TRUE(run.tips.isEmpty());
}

TEST(NetworkDialog, RealModalRunEndsWithTheUsersModify) {
  CDlgModifyNetworkNew dialog;
  dialog.request = Request(0x00);
  QTimer::singleShot(50, [&] {
    TypeAddress(dialog.ipField, "10.1.2.3");
    QTest::mouseClick(&dialog.modifyButton, Qt::LeftButton);
  });
  EXPECT_EQ(dialog.DoModal(), 1);
  EXPECT_EQ(dialog.request.ip, "10.1.2.3");
  EXPECT_EQ(dialog.request.netmask, "255.0.0.0");
  EXPECT_EQ(dialog.request.gateway, "10.1.2.1");
  EXPECT_EQ(dialog.request.dhcpMode, 2);
}

}  // namespace
