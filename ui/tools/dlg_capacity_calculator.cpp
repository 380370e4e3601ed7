#include "ui/tools/dlg_capacity_calculator.h"

CDlgCapacityCalculator::CDlgCapacityCalculator() = default;
CDlgCapacityCalculator::~CDlgCapacityCalculator() = default;

void CDlgCapacityCalculator::Create(QWidget* parent) {
  setParent(parent);
  hide();
  PlaceInParent();
}

pm::LRESULT CDlgCapacityCalculator::OnPrivateMessage(unsigned message, pm::WPARAM, pm::LPARAM) {
  if (message == pm::WM_PARENT_RESIZED) PlaceInParent();
  return 1;
}

void CDlgCapacityCalculator::PlaceInParent() {
  if (!parentWidget()) return;
  setGeometry(parentWidget()->contentsRect().adjusted(60, 60, 0, 0));
}
