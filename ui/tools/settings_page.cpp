#include "ui/tools/settings_page.h"

#include <QPainter>
#include <QShowEvent>

CSettingsPage::CSettingsPage(QWidget* parent) : QWidget(parent) {}

CSettingsPage::~CSettingsPage() = default;

void CSettingsPage::Create(QWidget* dialog, const QRect& pageRect) {
  hide();
  setParent(dialog);
  setGeometry(pageRect);
  OnInitPage();
}

pm::LRESULT CSettingsPage::OnPrivateMessage(unsigned message, pm::WPARAM, pm::LPARAM) {
  if (message != pm::WM_LANGUAGE_CHANGED) return 0;
  SetTexts();
  return 1;
}

// Shown again after a minimise is no new showing: only the dialog's and the
// page switch's shows count.
void CSettingsPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) OnShown();
}

void CSettingsPage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
}
