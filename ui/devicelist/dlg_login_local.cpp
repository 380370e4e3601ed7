#include "ui/devicelist/dlg_login_local.h"

#include <QKeyEvent>

#include "core/language/language.h"
#include "core/util/text_conversion.h"
#include "ui/framework/banded_dialog.h"
#include "ui/framework/modal_seam.h"

namespace {

// Template 155: 209 x 154 dialog units in "MS Shell Dlg" 8.
constexpr int kTemplateWidth = 209;
constexpr int kTemplateHeight = 154;

using banded_dialog::TemplateRect;

}  // namespace

CDlgLoginLocal::CDlgLoginLocal(QWidget* parent)
    : QDialog(parent),
      titleStatic(this),
      userLabel(this),
      userEdit(this),
      passwordLabel(this),
      passwordEdit(this),
      ipLabel(this),
      ipEdit(this),
      okButton(this),
      cancelButton(this),
      closeButton(this) {
  title = Text(QStringLiteral("msg.Login"));
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  const std::pair<QWidget*, int> ids[] = {
      {&titleStatic, kIdTitle},     {&userLabel, kIdUserLabel}, {&userEdit, kIdUserName},
      {&passwordLabel, kIdPasswordLabel}, {&passwordEdit, kIdPassword}, {&ipLabel, kIdIpLabel},
      {&ipEdit, kIdIpText},         {&okButton, kIdOk},         {&cancelButton, kIdCancel},
      {&closeButton, kIdClose}};
  for (const auto& [widget, id] : ids) widget->setObjectName(QString::number(id));

  resize(TemplateRect(0, 0, kTemplateWidth, kTemplateHeight).size());
  titleStatic.setGeometry(TemplateRect(0, 0, 117, 8));
  userLabel.setGeometry(TemplateRect(38, 45, 54, 8));
  userEdit.setGeometry(TemplateRect(96, 41, 73, 15));
  passwordLabel.setGeometry(TemplateRect(38, 70, 54, 8));
  passwordEdit.setGeometry(TemplateRect(96, 66, 73, 15));
  ipLabel.setGeometry(TemplateRect(38, 96, 54, 8));
  ipEdit.setGeometry(TemplateRect(96, 92, 73, 15));
  okButton.setGeometry(TemplateRect(50, 122, 50, 16));
  cancelButton.setGeometry(TemplateRect(106, 122, 50, 16));
  closeButton.setGeometry(TemplateRect(154, 0, 50, 14));

  passwordEdit.setEchoMode(QLineEdit::Password);
  ipEdit.setEnabled(false);
  banded_dialog::MakeTitleWhite(titleStatic);

  connect(&okButton, &QPushButton::clicked, this, &CDlgLoginLocal::OnOK);
  connect(&cancelButton, &QPushButton::clicked, this, &CDlgLoginLocal::OnCancel);
  connect(&closeButton, &QPushButton::clicked, this, &CDlgLoginLocal::OnCancel);
}

CDlgLoginLocal::~CDlgLoginLocal() = default;

int CDlgLoginLocal::DoModal() {
  OnInitDialog();
  modal::ModalRequest request;
  request.kind = QStringLiteral("login");
  request.title = title;
  request.text = showIp ? ipText : QString();
  request.defaultResult = kResultCancel;
  const int result = modal::Exec(*this, request);
  return result == kResultOk ? kResultOk : kResultCancel;
}

void CDlgLoginLocal::PlaceTitleAndClose() {
  titleStatic.setGeometry(10, 10, 200, 20);
  closeButton.setGeometry(width() - 24, 6, 20, 20);
}

// Without the IP row the buttons move up and the window gets shorter. The
// initialisation does this twice, so the IP row's 40 pixels go in all.
void CDlgLoginLocal::HideIpRow() {
  if (showIp) return;
  okButton.move(okButton.x(), okButton.y() - 20);
  cancelButton.move(cancelButton.x(), cancelButton.y() - 20);
  resize(width(), height() - 20);
}

void CDlgLoginLocal::OnInitDialog() {
  PlaceTitleAndClose();
  HideIpRow();

  okButton.SetSkin(179, 178, 180, 177);
  cancelButton.SetSkin(179, 178, 180, 177);
  closeButton.SetSkin(205, 204, 206, 205);
  userLabel.setText(Text(QStringLiteral("tx.Username")));
  passwordLabel.setText(Text(QStringLiteral("tx.Password")));
  ipLabel.setText(Text(QStringLiteral("tx.Ip")));
  okButton.caption = Text(QStringLiteral("tx.OK"));
  cancelButton.caption = Text(QStringLiteral("tx.Cancel"));

  PlaceTitleAndClose();
  HideIpRow();

  titleStatic.setText(title);
  userEdit.setText(userName);
  if (showIp) {
    ipEdit.setText(ipText);
  } else {
    ipLabel.hide();
    ipEdit.hide();
  }
  passwordEdit.setText(password);
  (userName.isEmpty() ? userEdit : passwordEdit).setFocus();
}

void CDlgLoginLocal::OnOK() {
  userName = userEdit.text();
  password = passwordEdit.text();
  CStringToUtf8(ipText, ipResult);
  CStringToUtf8(userName, userResult);
  CStringToUtf8(password, passwordResult);
  done(kResultOk);
}

void CDlgLoginLocal::OnCancel() { done(kResultCancel); }

void CDlgLoginLocal::reject() { OnCancel(); }

void CDlgLoginLocal::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      OnOK();
      return;
    case Qt::Key_Escape:
      OnCancel();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

// The button panel starts a little above the buttons.
void CDlgLoginLocal::paintEvent(QPaintEvent*) { banded_dialog::PaintFrame(*this, okButton.y() - 12); }
