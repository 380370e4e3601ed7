#pragma once
// The port sub-page: HTTP, TCP and RTSP ports for the checked devices,
// preset with the defaults of Config.ini.

#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <cstdint>

#include "ui/operations/batch_ports_payload.h"
#include "ui/operations/batch_sub_page.h"

class CDlgModifyPort : public CBatchSubPage {
  Q_OBJECT
 public:
  enum ControlId {
    kIdHttpLabel = 1170,
    kIdTcpLabel = 1140,
    kIdRtspLabel = 1185,
    kIdHttp = 1164,
    kIdTcp = 1154,
    kIdRtsp = 1019,
    kIdModify = 1103
  };
  static constexpr int kTemplate = 156;
  static constexpr uint16_t kBuiltInHttpPort = 80;
  static constexpr uint16_t kBuiltInTcpPort = 34567;
  static constexpr uint16_t kBuiltInRtspPort = 554;

  CDlgModifyPort();

  void LayoutControls() override;
  void SetTexts() override;
  // Reads DEFAULT_CFG's three ports from iniPath (the main window's
  // Config.ini) and shows them; a missing or out-of-range value keeps the
  // built-in port.
  void LoadDefaultPorts();
  void ShowDefaultPorts();
  void ReadPorts();
  void OnModify();

  QString iniPath;
  uint16_t defaultHttpPort = kBuiltInHttpPort;
  uint16_t defaultTcpPort = kBuiltInTcpPort;
  uint16_t defaultRtspPort = kBuiltInRtspPort;
  BatchPortsPayload portsPayload;  // WM_BATCH_PORTS carries its address

  QLabel httpLabel;
  QLabel tcpLabel;
  QLabel rtspLabel;
  QLineEdit httpEdit;
  QLineEdit tcpEdit;
  QLineEdit rtspEdit;
  CxSkinButton modifyButton;

 protected:
  void OnInitialised() override;
  // Hiding the page itself (not its window going away) resets its edits.
  void setVisible(bool visible) override;
};
