#pragma once
// The live preview of one device's main or sub stream: a modal window over
// most of the main window. The live-view library draws the video into the
// video area; the dialog hands it the area, the stream address and the area's
// size, and starts and stops the view.

#include <QDialog>
#include <QLabel>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>
#include <string>

#include "ui/controls/skin_button.h"
#include "ui/framework/title_band.h"

class CDlgPreview : public QDialog {
  Q_OBJECT
 public:
  enum ControlId {
    kIdMax = 1137,
    kIdLogo = 1148,
    kIdVideoArea = 1189,
    kIdClose = 1190,
    kIdTitle = 1253,
  };
  static constexpr int kStreamMain = 2;
  static constexpr int kStreamSub = 3;
  static constexpr int kTitleBand = 50;  // client rows 0..50 drag the window
  static constexpr unsigned kTextColour = 0xFFFFFF;  // 0x00BBGGRR
  static constexpr unsigned kBackgroundColour = 0x313131;

  // Initialises the live-view library.
  explicit CDlgPreview(QWidget* parent = nullptr);
  // Ends the live-view library's views.
  ~CDlgPreview() override;

  // What the stream address is built from; set before the run.
  int streamKind = kStreamMain;
  QString loginUser;
  QString loginPassword;
  QString deviceIp;
  int streamPort = 0;
  QRect windowRect;  // screen coordinates the dialog is moved to
  QPixmap pageLogo;  // the main window's page logo, shown in the band; none when null
  int viewHandle = 0;
  bool isMaximized = false;
  QRect restoreRect;
  QString streamCaption;

  // Runs the preview modally through the modal seam (kind "preview").
  int DoModal();

  // The address in its form with or without a password, as wide text.
  QString StreamAddress() const;
  // Stream 2 for the sub stream, 1 for anything else.
  int StreamNumber() const { return streamKind == kStreamSub ? 2 : 1; }

  void OnInitDialog();
  void LayoutControls();
  void StartView();
  void OnCloseButton();
  void ToggleMaximize();

  QLabel titleStatic;
  CxSkinButton closeButton;
  CxSkinButton maxButton;
  QLabel logoStatic;
  QWidget videoArea;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void reject() override;  // only the close button ends the preview

 private:
  titleband::TitleBand titleBand_{this, kTitleBand + 1};
};

