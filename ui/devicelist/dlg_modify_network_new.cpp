#include "ui/devicelist/dlg_modify_network_new.h"

#include <algorithm>

#include "core/language/language.h"
#include "core/util/ip_address.h"
#include "core/lanconfig/lan_datagrams.h"
#include "core/util/text_conversion.h"
#include "ui/framework/banded_dialog.h"
#include "ui/framework/colours.h"
#include "ui/framework/key_filter.h"
#include "ui/framework/modal_seam.h"
#include "ui/devicelist/network_rules.h"
#include "ui/controls/dlg_tip.h"

namespace {

// Template 249: 280 x 315 dialog units in "MS Shell Dlg" 8.
constexpr int kTemplateWidth = 280;
constexpr int kTemplateHeight = 315;

using banded_dialog::TemplateRect;


QString FromUtf8(const std::string& narrow) {
  QString wide;
  Utf8ToCString(wide, narrow);
  return wide;
}

std::string ToUtf8(const QString& wide) {
  std::string narrow;
  CStringToUtf8(wide, narrow);
  return narrow;
}

}  // namespace

CDlgModifyNetworkNew::CDlgModifyNetworkNew(QWidget* parent)
    : QDialog(parent),
      titleStatic(this),
      closeButton(this),
      securityLine(this),
      securityCaption(this),
      adminPasswordLabel(this),
      adminPasswordEdit(this),
      netParamLine(this),
      netParamCaption(this),
      dhcpLabel(this),
      dhcpCheck(this),
      ipLabel(this),
      ipField(this),
      macLabel(this),
      macEdit(this),
      maskLabel(this),
      maskField(this),
      gatewayLabel(this),
      gatewayField(this),
      dns1Label(this),
      dns1Field(this),
      dns2Label(this),
      dns2Field(this),
      modifyButton(this) {
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  keyfilter::SwallowEnterAndEsc(this);
  resize(TemplateRect(0, 0, kTemplateWidth, kTemplateHeight).size());
  banded_dialog::PlaceControls({
      {&titleStatic, kIdTitle, {20, 7, 138, 16}},
      {&closeButton, kIdClose, {223, 7, 50, 14}},
      {&securityLine, kIdSecurityLine, {19, 44, 240, 1}},
      {&securityCaption, kIdSecurityCaption, {101, 40, 78, 8}},
      {&adminPasswordLabel, kIdAdminPasswordLabel, {43, 63, 68, 9}},
      {&adminPasswordEdit, kIdAdminPassword, {115, 61, 118, 14}},
      {&netParamLine, kIdNetParamLine, {19, 99, 240, 1}},
      {&netParamCaption, kIdNetParamCaption, {100, 95, 78, 8}},
      {&dhcpLabel, kIdDhcpLabel, {43, 114, 68, 9}},
      {&dhcpCheck, kIdDhcpCheck, {115, 112, 8, 8}},
      {&ipLabel, kIdIpLabel, {43, 136, 68, 9}},
      {&ipField, kIdIpField, {115, 132, 118, 14}},
      {&macLabel, kIdMacLabel, {43, 159, 68, 9}},
      {&macEdit, kIdMacEdit, {115, 156, 118, 14}},
      {&maskLabel, kIdMaskLabel, {43, 183, 68, 9}},
      {&maskField, kIdMaskField, {115, 180, 118, 14}},
      {&gatewayLabel, kIdGatewayLabel, {43, 205, 68, 9}},
      {&gatewayField, kIdGatewayField, {115, 202, 118, 14}},
      {&dns1Label, kIdDns1Label, {43, 229, 68, 9}},
      {&dns1Field, kIdDns1Field, {115, 225, 118, 14}},
      {&dns2Label, kIdDns2Label, {43, 251, 68, 9}},
      {&dns2Field, kIdDns2Field, {115, 248, 118, 14}},
      {&modifyButton, kIdModify, {103, 279, 73, 18}},
  });
  // The check box's template rectangle holds only the box; give it room to be hit.
  dhcpCheck.resize(dhcpCheck.sizeHint().expandedTo(dhcpCheck.size()));

  for (QFrame* line : {&securityLine, &netParamLine}) {
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setStyleSheet(QStringLiteral("color: #d0d0d0;"));
  }
  for (QLabel* caption : {&securityCaption, &netParamCaption}) {
    caption->setAlignment(Qt::AlignCenter);
    // Opaque, so the caption interrupts the line it stands on.
    caption->setAutoFillBackground(true);
    QPalette palette = caption->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, colours::FromColorRef(0x606060));
    caption->setPalette(palette);
  }
  adminPasswordEdit.setEchoMode(QLineEdit::Password);
  macEdit.setEnabled(false);
  banded_dialog::MakeTitleWhite(titleStatic);

  connect(&closeButton, &QPushButton::clicked, this, [this] { done(kResultClosed); });
  connect(&modifyButton, &QPushButton::clicked, this, [this] { ValidateNetworkInput(); });
  connect(&dhcpCheck, &QCheckBox::clicked, this, &CDlgModifyNetworkNew::OnDhcpClicked);
  connect(&ipField, &CIpAddressField::changed, this, &CDlgModifyNetworkNew::AutoFillMaskGateway);
  connect(&adminPasswordEdit, &QLineEdit::textChanged, this, &CDlgModifyNetworkNew::LimitAdminPassword);
}

CDlgModifyNetworkNew::~CDlgModifyNetworkNew() = default;

int CDlgModifyNetworkNew::DoModal() {
  OnInitDialog();
  modal::ModalRequest r;
  r.kind = QStringLiteral("network");
  r.title = Text(QStringLiteral("tx.NetworkModify"));
  r.text = FromUtf8(request.mac);
  r.defaultResult = kResultClosed;
  return modal::Exec(*this, r) == kResultModified ? kResultModified : kResultClosed;
}

void CDlgModifyNetworkNew::SetTexts() {
  titleStatic.setText(Text(QStringLiteral("tx.NetworkModify")));
  securityCaption.setText(Text(QStringLiteral("tx.Security")));
  adminPasswordLabel.setText(Text(QStringLiteral("tx.Admin_Pas")));
  netParamCaption.setText(Text(QStringLiteral("tx.NetParam")));
  dhcpLabel.setText(Text(QStringLiteral("tx.Dhcp")));
  ipLabel.setText(Text(QStringLiteral("tx.Ip")));
  macLabel.setText(Text(QStringLiteral("ck.MAC")));
  maskLabel.setText(Text(QStringLiteral("tx.Mask")));
  gatewayLabel.setText(Text(QStringLiteral("tx.Gateway")));
  dns1Label.setText(Text(QStringLiteral("tx.PriDns")));
  dns2Label.setText(Text(QStringLiteral("tx.SndDns")));
  modifyButton.caption = Text(QStringLiteral("tx.Modify"));
}

void CDlgModifyNetworkNew::OnInitDialog() {
  useAuthenticatedDatagram = (request.capabilities & 0x08) ? 1 : 0;
  SetTexts();
  modifyButton.SetSkin(179, 178, 180, 177);
  closeButton.SetSkin(205, 204, 206, 205);

  // 100 pixels wide, or as wide as the translated title needs up to the close button.
  const int titleWidth = std::clamp(titleStatic.fontMetrics().horizontalAdvance(titleStatic.text()) + 4, 100,
                                    width() - 24 - 10 - 10);
  titleStatic.setGeometry(10, 10, titleWidth, 20);
  closeButton.setGeometry(width() - 24, 6, 20, 20);
  securityLine.setFixedHeight(1);
  netParamLine.setFixedHeight(1);

  if (!useAuthenticatedDatagram) {
    for (QWidget* w : std::initializer_list<QWidget*>{&securityLine, &securityCaption, &adminPasswordLabel,
                                                      &adminPasswordEdit, &netParamLine, &netParamCaption,
                                                      &dhcpLabel, &dhcpCheck, &dns1Label, &dns1Field,
                                                      &dns2Label, &dns2Field})
      w->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{&ipLabel, &ipField, &macLabel, &macEdit, &maskLabel,
                                                      &maskField, &gatewayLabel, &gatewayField})
      w->move(w->x(), w->y() - kSecurityRowsShift);
    modifyButton.move(modifyButton.x(), modifyButton.y() - kSecurityHeight);
    resize(width(), height() - kSecurityHeight);
    if (QWidget* owner = parentWidget()) {
      QRect frame = geometry();
      frame.moveCenter(owner->window()->geometry().center());
      move(frame.topLeft());
    }
  }

  // The DHCP state applies whether or not its row is visible.
  if (request.dhcpMode == 1) {
    dhcpCheck.setChecked(true);
    EnableAddressFields(false);
  } else {
    dhcpCheck.setChecked(false);
    EnableAddressFields(true);
  }

  ipField.setText(FromUtf8(request.ip));
  macEdit.setText(FromUtf8(request.mac));
  maskField.setText(FromUtf8(request.netmask));
  gatewayField.setText(FromUtf8(request.gateway));
  dns1Field.setText(FromUtf8(request.dns1));
  dns2Field.setText(FromUtf8(request.dns2));
}

void CDlgModifyNetworkNew::EnableAddressFields(bool enable) {
  ipField.setEnabled(enable);
  maskField.setEnabled(enable);
  gatewayField.setEnabled(enable);
}

// The authenticated datagram carries the password in a field of fixed size:
// what does not fit is cut while typing, so what the user sees is what is
// sent. The cut is the longest start of whole characters that fits, found in
// one pass: a pasted long text is not converted again per character.
void CDlgModifyNetworkNew::LimitAdminPassword() {
  const QString text = adminPasswordEdit.text();
  if (lanconfig::PasswordFitsV3(ToUtf8(text))) return;
  adminPasswordEdit.setText(text.left(NarrowPrefixWithin(text, lanconfig::v3::kTextField)));
}

void CDlgModifyNetworkNew::OnDhcpClicked() { EnableAddressFields(!dhcpCheck.isChecked()); }

void CDlgModifyNetworkNew::AutoFillMaskGateway() {
  if (ipField.isBlank()) return;
  const QString ip = ipField.text();
  gatewayField.setText(DefaultGatewayFor(ip));
  maskField.setText(DefaultMaskFor(IpToHostOrder(ip)));
}

bool CDlgModifyNetworkNew::ValidateNetworkInput() {
  if (!IsNetworkInputValid(ipField.address(), maskField.address(), gatewayField.address())) {
    ShowNotice("info.IP_set_error", CDlgTip::kIconWarning);
    return false;
  }
  request.ip = ToUtf8(ipField.text());
  request.netmask = ToUtf8(maskField.text());
  request.gateway = ToUtf8(gatewayField.text());
  request.dns1 = ToUtf8(dns1Field.text());
  request.dns2 = ToUtf8(dns2Field.text());
  request.password = ToUtf8(adminPasswordEdit.text());
  request.dhcpMode = dhcpCheck.isChecked() ? 1 : 2;
  done(kResultModified);
  return true;
}

// Only Modify and the close button end the dialog (Esc is swallowed before it gets here).
void CDlgModifyNetworkNew::reject() {}

void CDlgModifyNetworkNew::paintEvent(QPaintEvent*) { banded_dialog::PaintFrame(*this, modifyButton.y() - 12); }
