// The port sub-page.
#include "ui/operations/dlg_modify_port.h"

#include <cstdlib>

#include "core/language/language.h"
#include "ui/filters/edit_filters.h"
#include "ui/operations/default_ports.h"
#include "ui/operations/dlg_operate.h"

CDlgModifyPort::CDlgModifyPort()
    : CBatchSubPage(true),
      httpLabel(this),
      tcpLabel(this),
      rtspLabel(this),
      httpEdit(this),
      tcpEdit(this),
      rtspEdit(this),
      modifyButton(this) {
  const std::pair<QWidget*, int> ids[] = {{&httpLabel, kIdHttpLabel}, {&tcpLabel, kIdTcpLabel},
                                          {&rtspLabel, kIdRtspLabel}, {&httpEdit, kIdHttp},
                                          {&tcpEdit, kIdTcp},         {&rtspEdit, kIdRtsp},
                                          {&modifyButton, kIdModify}};
  for (const auto& [widget, id] : ids) widget->setObjectName(QString::number(id));
  for (QLineEdit* edit : {&httpEdit, &tcpEdit, &rtspEdit})
    connect(edit, &QLineEdit::textChanged, this, [edit] { ClampEditNumber(edit, 1, 65535); });
  connect(&modifyButton, &QPushButton::clicked, this, &CDlgModifyPort::OnModify);
}

void CDlgModifyPort::LayoutControls() {
  const int rows[] = {10, 48, 86};
  QLabel* labels[] = {&httpLabel, &tcpLabel, &rtspLabel};
  QLineEdit* edits[] = {&httpEdit, &tcpEdit, &rtspEdit};
  for (int i = 0; i < 3; ++i) {
    labels[i]->setGeometry(10, rows[i], 100, 28);
    edits[i]->setGeometry(120, rows[i], 180, 28);
  }
  modifyButton.setGeometry(10, 134, 110, 28);
}

void CDlgModifyPort::SetTexts() {
  SetLabelText(httpLabel, Text(QStringLiteral("tx.Http_Onvif_port")));
  SetLabelText(tcpLabel, Text(QStringLiteral("tx.Tcp_port")));
  SetLabelText(rtspLabel, Text(QStringLiteral("tx.Rtsp_port")));
  SetButtonText(modifyButton, Text(QStringLiteral("tx.Modify")));
}

void CDlgModifyPort::OnInitialised() { LoadDefaultPorts(); }

void CDlgModifyPort::LoadDefaultPorts() {
  const CDlgOperate* page = ParentPage();
  iniPath = page && page->Host() ? page->Host()->ConfigIniPath() : QString();
  if (!iniPath.isEmpty()) {
    const DefaultPorts ports = ReadDefaultPorts(iniPath);
    defaultHttpPort = ports.http;
    defaultTcpPort = ports.tcp;
    defaultRtspPort = ports.rtsp;
  }
  ShowDefaultPorts();
}

void CDlgModifyPort::ShowDefaultPorts() {
  httpEdit.setText(QString::number(defaultHttpPort));
  tcpEdit.setText(QString::number(defaultTcpPort));
  rtspEdit.setText(QString::number(defaultRtspPort));
}

namespace {

// A decimal number from the start of text: blanks, a sign, digits up to the
// first other character; no digits give 0.
long long LeadingNumber(const QString& text) {
  const QByteArray latin = text.toLatin1();
  return std::strtoll(latin.constData(), nullptr, 10);
}

}  // namespace

void CDlgModifyPort::ReadPorts() {
  portsPayload.httpPort = static_cast<int32_t>(LeadingNumber(httpEdit.text()));
  portsPayload.tcpPort = static_cast<int32_t>(LeadingNumber(tcpEdit.text()));
  portsPayload.rtspPort = static_cast<uint16_t>(LeadingNumber(rtspEdit.text()));
}

void CDlgModifyPort::OnModify() {
  portsPayload = BatchPortsPayload{};
  ReadPorts();
  const BatchPortsPayload& p = portsPayload;
  if (p.httpPort == p.tcpPort || p.httpPort == p.rtspPort || p.tcpPort == p.rtspPort) {
    ShowBox("info.Port_set_error_same", kWarning);
    return;
  }
  if (RefuseWhileBusy()) return;
  if (ShowBox("msg.Ensure_modify_port", kQuestion) != 1) return;
  SendToPage(pm::WM_BATCH_PORTS, reinterpret_cast<pm::WPARAM>(&portsPayload));
}

void CDlgModifyPort::setVisible(bool visible) {
  const bool wasShown = !isHidden();
  CBatchSubPage::setVisible(visible);
  if (visible || !wasShown) return;
  ShowDefaultPorts();
}
