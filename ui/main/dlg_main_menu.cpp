#include "ui/main/dlg_main_menu.h"

CDlgMainMenu::CDlgMainMenu(QWidget* parent) : QWidget(parent) { hide(); }

CDlgMainMenu::~CDlgMainMenu() = default;

bool CDlgMainMenu::Create(QWidget* parent) {
  if (created_) return true;
  setParent(parent);
  hide();
  created_ = true;
  return true;
}

pm::LRESULT CDlgMainMenu::OnPrivateMessage(unsigned message, pm::WPARAM, pm::LPARAM) {
  switch (message) {
    case pm::WM_LANGUAGE_CHANGED:
    case pm::WM_PARENT_RESIZED:
      return 1;
    default:
      return 0;
  }
}
