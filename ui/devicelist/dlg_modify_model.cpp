#include "ui/devicelist/dlg_modify_model.h"

#include <algorithm>
#include <string>

#include "core/language/language.h"
#include "core/util/char_validators.h"
#include "core/util/text_conversion.h"
#include "ui/controls/dlg_tip.h"
#include "ui/filters/edit_filters.h"
#include "ui/framework/banded_dialog.h"
#include "ui/framework/key_filter.h"
#include "ui/framework/modal_seam.h"

namespace {

// Template 225: 217 x 159 dialog units in "MS Shell Dlg" 8.
constexpr int kTemplateWidth = 217;
constexpr int kTemplateHeight = 159;

using banded_dialog::TemplateRect;

}  // namespace

CDlgModifyModel::CDlgModifyModel(QWidget* parent)
    : QDialog(parent),
      titleStatic(this),
      macLabel(this),
      macEdit(this),
      modelLabel(this),
      currentModelEdit(this),
      newModelLabel(this),
      newModelEdit(this),
      modifyButton(this),
      closeButton(this) {
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  keyfilter::SwallowEnterAndEsc(this);
  resize(TemplateRect(0, 0, kTemplateWidth, kTemplateHeight).size());
  banded_dialog::PlaceControls({
      {&titleStatic, kIdTitle, {7, 7, 17, 8}},
      {&macLabel, kIdMacLabel, {36, 45, 52, 8}},
      {&macEdit, kIdMac, {97, 44, 86, 15}},
      {&modelLabel, kIdModelLabel, {36, 71, 52, 8}},
      {&currentModelEdit, kIdCurrentModel, {97, 70, 86, 15}},
      {&newModelLabel, kIdNewModelLabel, {36, 98, 52, 8}},
      {&newModelEdit, kIdNewModel, {97, 95, 86, 15}},
      {&modifyButton, kIdModify, {78, 124, 60, 18}},
      {&closeButton, kIdClose, {160, 7, 50, 14}},
  });
  macEdit.setEnabled(false);
  currentModelEdit.setEnabled(false);
  for (QLineEdit* edit : {&macEdit, &currentModelEdit, &newModelEdit}) edit->setTextMargins(4, 0, 4, 0);
  banded_dialog::MakeTitleWhite(titleStatic);

  connect(&newModelEdit, &QLineEdit::textChanged, this, [this] { LimitEditAnsi(&newModelEdit); });
  connect(&modifyButton, &QPushButton::clicked, this, &CDlgModifyModel::OnModify);
  connect(&closeButton, &QPushButton::clicked, this, [this] { done(kResultClosed); });
}

CDlgModifyModel::~CDlgModifyModel() = default;

int CDlgModifyModel::DoModal() {
  OnInitDialog();
  modal::ModalRequest r;
  r.kind = QStringLiteral("model");
  r.title = Text(QStringLiteral("tx.Modify_model"));
  r.text = mac;
  r.defaultResult = kResultClosed;
  return modal::Exec(*this, r) == kResultModified ? kResultModified : kResultClosed;
}

void CDlgModifyModel::OnInitDialog() {
  modifyButton.SetSkin(179, 178, 180, 177);
  closeButton.SetSkin(205, 204, 206, 205);

  titleStatic.setText(Text(QStringLiteral("tx.Modify_model")));
  // 100 pixels wide, or as wide as the translated title needs up to the close button.
  const int titleWidth = std::clamp(titleStatic.fontMetrics().horizontalAdvance(titleStatic.text()) + 4, 100,
                                    width() - 24 - 10 - 10);
  titleStatic.setGeometry(10, 10, titleWidth, 20);
  closeButton.setGeometry(width() - 24, 6, 20, 20);
  macLabel.setText(Text(QStringLiteral("ck.MAC")));
  modelLabel.setText(Text(QStringLiteral("ck.Model")));
  newModelLabel.setText(Text(QStringLiteral("tx.Des_model")));
  modifyButton.caption = Text(QStringLiteral("tx.Modify"));

  macEdit.setText(mac);
  currentModelEdit.setText(currentModel);
  newModelEdit.setText(currentModel);
  newModelEdit.setFocus();
}

void CDlgModifyModel::OnModify() {
  const QString typed = newModelEdit.text();
  std::string ansi;
  CStringToAnsi(typed, ansi);
  if (typed.isEmpty()) {
    ShowNotice("msg.Err_new_model_empty", CDlgTip::kIconWarning);
    return;
  }
  std::string checked = ansi;
  if (!checked.empty() && IsValidTextChars(checked)) {
    newModel = typed;
    done(kResultModified);
    return;
  }
  // The text is shown as it stands: it is data beside the program, never a format.
  ShowNotice("msg.Contain_Illegal_Char", CDlgTip::kIconError);
}

// Only Modify and the close button end the dialog.
void CDlgModifyModel::reject() {}

void CDlgModifyModel::paintEvent(QPaintEvent*) { banded_dialog::PaintFrame(*this, modifyButton.y() - 12); }
