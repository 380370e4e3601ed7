// The password sub-page.
#include "ui/operations/dlg_modify_password.h"


#include "core/language/language.h"
#include "core/util/char_validators.h"
#include "core/util/text_conversion.h"
#include "ui/controls/dlg_tip.h"

CDlgModifyPassword::CDlgModifyPassword()
    : CBatchSubPage(true),
      oldLabel(this),
      newLabel(this),
      confirmLabel(this),
      oldEdit(this),
      newEdit(this),
      confirmEdit(this),
      modifyButton(this) {
  const std::pair<QWidget*, int> ids[] = {{&oldLabel, kIdOldLabel}, {&newLabel, kIdNewLabel},
                                          {&confirmLabel, kIdConfirmLabel}, {&oldEdit, kIdOld},
                                          {&newEdit, kIdNew},           {&confirmEdit, kIdConfirm},
                                          {&modifyButton, kIdModify}};
  for (const auto& [widget, id] : ids) widget->setObjectName(QString::number(id));
  for (QLineEdit* edit : {&oldEdit, &newEdit, &confirmEdit}) {
    edit->setEchoMode(QLineEdit::Password);
    connect(edit, &QLineEdit::textChanged, this, [this, edit] { CheckPasswordInput(*edit); });
  }
  connect(&modifyButton, &QPushButton::clicked, this, &CDlgModifyPassword::OnModify);
}

void CDlgModifyPassword::LayoutControls() {
  const int rows[] = {10, 48, 86};
  QLabel* labels[] = {&oldLabel, &newLabel, &confirmLabel};
  QLineEdit* edits[] = {&oldEdit, &newEdit, &confirmEdit};
  for (int i = 0; i < 3; ++i) {
    labels[i]->setGeometry(10, rows[i], 100, 28);
    edits[i]->setGeometry(120, rows[i], 180, 28);
  }
  modifyButton.setGeometry(10, 134, 110, 28);
}

void CDlgModifyPassword::SetTexts() {
  SetLabelText(oldLabel, Text(QStringLiteral("tx.Old_pas")));
  SetLabelText(newLabel, Text(QStringLiteral("tx.New_pas")));
  SetLabelText(confirmLabel, Text(QStringLiteral("tx.Confirm")));
  SetButtonText(modifyButton, Text(QStringLiteral("tx.Modify")));
}

namespace {

// The characters of text, a surrogate pair kept as one.
QStringList CharactersOf(const QString& text) {
  QStringList out;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    out << text.mid(i, pair ? 2 : 1);
    if (pair) ++i;
  }
  return out;
}

}  // namespace

void CDlgModifyPassword::CheckPasswordInput(QLineEdit& edit) {
  const QString text = edit.text();
  // An emptied box is what the user (or the check below) asked for.
  if (text.isEmpty()) return;
  std::string utf8;
  CStringToUtf8(text, utf8);
  std::string checked = utf8;
  if (checked.empty() || !IsValidPasswordChars(checked)) {
    // Name the whole first character that is refused (not only its first
    // byte). The message is language data: its one "%s" takes the
    // character, never through a printf-style formatter.
    QString offending;
    for (const QString& ch : CharactersOf(text)) {
      std::string one;
      CStringToUtf8(ch, one);
      if (!IsValidPasswordChars(one)) {
        offending = ch;
        break;
      }
    }
    QString message = Text(QStringLiteral("strContainIllegalChar"));
    const qsizetype at = message.indexOf(QStringLiteral("%s"));
    if (at >= 0) message.replace(at, 2, offending);
    ShowTipBox(message, Text(QStringLiteral("msg.Msg")), false, true, kError);
    edit.clear();
    return;
  }
  if (utf8.size() > static_cast<std::size_t>(kMaxPasswordBytes)) {
    edit.setText(text.left(kMaxPasswordBytes));
    edit.setCursorPosition(static_cast<int>(edit.text().size()));
  }
}

void CDlgModifyPassword::OnModify() {
  CStringToUtf8(oldEdit.text(), oldPassword);
  CStringToUtf8(newEdit.text(), newPassword);
  CStringToUtf8(confirmEdit.text(), confirmPassword);
  if (newPassword != confirmPassword) {
    ShowBox("info.two_pas_inconsistent", kWarning);
    return;
  }
  if (RefuseWhileBusy()) return;
  if (ShowBox("msg.Ensure_modify_password", kQuestion) != 1) return;
  SendToPage(pm::WM_BATCH_PASSWORD, reinterpret_cast<pm::WPARAM>(&oldPassword),
             reinterpret_cast<pm::LPARAM>(&newPassword));
}

void CDlgModifyPassword::setVisible(bool visible) {
  const bool wasShown = !isHidden();
  CBatchSubPage::setVisible(visible);
  if (visible || !wasShown) return;
  for (QLineEdit* edit : {&oldEdit, &newEdit, &confirmEdit}) edit->clear();
}
