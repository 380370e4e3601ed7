#include "ui/tools/dlg_setting.h"

#include <QWindow>

#include "ui/framework/dialog_units.h"

namespace {

// Template 144: 356 x 218 dialog units in "MS Shell Dlg" 8.
QSize TemplateSize() {
  const dialog_units::BaseUnits base = dialog_units::ForFont(dialog_units::TemplateFont("MS Shell Dlg", 8));
  return dialog_units::ToPixels(QRect(0, 0, 356, 218), base).size();
}

}  // namespace

CDlgSetting::CDlgSetting() : closeButton(this) {
  connect(&closeButton, &QPushButton::clicked, this, &CDlgSetting::reject);
}

CDlgSetting::~CDlgSetting() = default;

void CDlgSetting::Create(QWidget* owner) {
  owner_ = owner;
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  resize(TemplateSize());
  closeButton.SetSkin(205, 204, 206, 205);
  hide();
}

void CDlgSetting::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  closeButton.setGeometry(width() - 24, 6, 20, 20);
}

// Kept above its owner by the platform, as an owned popup is.
void CDlgSetting::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (owner_ && owner_->window()->windowHandle() && windowHandle())
    windowHandle()->setTransientParent(owner_->window()->windowHandle());
}

void CDlgSetting::reject() {
  if (owner_) owner_->setEnabled(true);
  hide();
  emit closed();
}

pm::LRESULT CDlgSetting::OnPrivateMessage(unsigned, pm::WPARAM, pm::LPARAM) { return 1; }
