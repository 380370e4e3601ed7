#pragma once
// The login prompt: user name and password, with or without the device's IP
// shown in a disabled edit. OK ends it with 1 and fills the three UTF-8
// results; Cancel, the close button and Esc end it with 2. Enter acts as OK.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <string>

#include "ui/controls/skin_button.h"
#include "ui/framework/title_band.h"

class CDlgLoginLocal : public QDialog {
  Q_OBJECT
 public:
  enum ControlId {
    kIdOk = 1,
    kIdCancel = 2,
    kIdIpLabel = 1074,
    kIdPassword = 1018,
    kIdUserName = 1092,
    kIdIpText = 1093,
    kIdUserLabel = 1094,
    kIdClose = 1113,
    kIdTitle = 1127,
    kIdPasswordLabel = 1155,
  };
  static constexpr int kResultOk = 1;
  static constexpr int kResultCancel = 2;

  explicit CDlgLoginLocal(QWidget* parent = nullptr);
  ~CDlgLoginLocal() override;

  // Set by the caller before the run.
  QString title;               // the text of "msg.Login" at construction
  QString ipText;
  QString userName = QStringLiteral("admin");
  QString password;
  bool showIp = false;

  // Filled by OK.
  std::string ipResult;
  std::string userResult;
  std::string passwordResult;

  // Initialises the window from the fields above and runs it modally through
  // the modal seam (kind "login"). 1 for OK, 2 otherwise.
  int DoModal();

  void OnOK();
  void OnCancel();

  // The controls, by their template ids.
  QLabel titleStatic;
  QLabel userLabel;
  QLineEdit userEdit;
  QLabel passwordLabel;
  QLineEdit passwordEdit;
  QLabel ipLabel;
  QLineEdit ipEdit;
  CxSkinButton okButton;
  CxSkinButton cancelButton;
  CxSkinButton closeButton;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void reject() override;

 private:
  void OnInitDialog();
  void PlaceTitleAndClose();
  void HideIpRow();

  titleband::TitleBand titleBand_{this, 40};  // the dark band drags the window
};
