#pragma once
// The network parameter dialog: IP, mask and gateway for every device; with
// the authenticated datagram also the administrator password, DHCP and the
// two DNS servers. Modify validates and ends it with 1 (the request then holds
// the values to send); the close button ends it with 2. Enter and Esc are
// swallowed.

#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <cstdint>

#include "core/device/device_record.h"
#include "ui/controls/skin_button.h"
#include "ui/framework/title_band.h"
#include "ui/devicelist/ip_address_field.h"

class CDlgModifyNetworkNew : public QDialog {
  Q_OBJECT
 public:
  enum ControlId {
    kIdModify = 1,
    kIdIpField = 1040,
    kIdIpLabel = 1074,
    kIdMaskField = 1080,
    kIdGatewayField = 1081,
    kIdDns2Field = 1082,
    kIdDns1Field = 1083,
    kIdDhcpCheck = 1100,
    kIdDns1Label = 1101,
    kIdDns2Label = 1102,
    kIdClose = 1113,
    kIdTitle = 1127,
    kIdGatewayLabel = 1142,
    kIdMaskLabel = 1143,
    kIdDhcpLabel = 1144,
    kIdMacEdit = 1164,
    kIdMacLabel = 1179,
    kIdSecurityLine = 1234,
    kIdNetParamLine = 1235,
    kIdAdminPasswordLabel = 1258,
    kIdAdminPassword = 1259,
    kIdSecurityCaption = 1260,
    kIdNetParamCaption = 1261,
  };
  static constexpr int kResultModified = 1;
  static constexpr int kResultClosed = 2;
  // What the window loses without the security section.
  static constexpr int kSecurityRowsShift = 140;
  static constexpr int kSecurityHeight = 210;

  explicit CDlgModifyNetworkNew(QWidget* parent = nullptr);
  ~CDlgModifyNetworkNew() override;

  // Filled by the caller from the device's record before the run; after a
  // valid Modify it holds the values to send.
  DeviceRecord request;
  uint8_t useAuthenticatedDatagram = 0;

  // Initialises the window from the request and runs it modally through the
  // modal seam (kind "network"). 1 after a valid Modify, 2 otherwise.
  int DoModal();

  void OnDhcpClicked();
  void LimitAdminPassword();
  void AutoFillMaskGateway();
  // The Modify button: refuses invalid input with "info.IP_set_error" and
  // stays open; otherwise fills the request and ends with 1.
  bool ValidateNetworkInput();

  QLabel titleStatic;
  CxSkinButton closeButton;
  QFrame securityLine;
  QLabel securityCaption;
  QLabel adminPasswordLabel;
  QLineEdit adminPasswordEdit;
  QFrame netParamLine;
  QLabel netParamCaption;
  QLabel dhcpLabel;
  QCheckBox dhcpCheck;
  QLabel ipLabel;
  CIpAddressField ipField;
  QLabel macLabel;
  QLineEdit macEdit;
  QLabel maskLabel;
  CIpAddressField maskField;
  QLabel gatewayLabel;
  CIpAddressField gatewayField;
  QLabel dns1Label;
  CIpAddressField dns1Field;
  QLabel dns2Label;
  CIpAddressField dns2Field;
  CxSkinButton modifyButton;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void reject() override;

 private:
  void OnInitDialog();
  void SetTexts();
  void EnableAddressFields(bool enable);

  titleband::TitleBand titleBand_{this, 40};  // the dark band drags the window
};
