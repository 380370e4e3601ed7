#include "ui/main/dlg_dev_info.h"

#include "ui/main/divarod_dlg.h"

CDlgDevInfo::CDlgDevInfo(QWidget* parent) : QWidget(parent) { hide(); }

CDlgDevInfo::~CDlgDevInfo() = default;

bool CDlgDevInfo::Create(QWidget* parent) {
  if (created_) return true;
  setParent(parent);
  hide();
  created_ = true;
  return true;
}

void CDlgDevInfo::RequestSearch() {
  if (!MainDialogInstance) return;
  // First version: the main window's search request is wired in next.
  searchFromTimer = 0;
}

void CDlgDevInfo::SetColumnMask(int mask) { shownColumns = mask; }

int CDlgDevInfo::BatchLogin(bool&, DeviceRecord* record, int&, std::string&, std::string&) {
  return record && record->loggedIn == 1 ? 1 : -1;
}

int CDlgDevInfo::SetLoginState(std::string, int) { return -1; }

pm::LRESULT CDlgDevInfo::OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM) {
  switch (message) {
    case pm::WM_LANGUAGE_CHANGED:
      return 1;
    case pm::WM_DEVINFO_MASK_CHANGED:
      SetColumnMask(static_cast<int>(wParam));
      return 1;
    case pm::WM_SEARCH_STARTED:
      return 1;
    case pm::WM_SEARCH_FINISHED:
      return MainDialogInstance ? 1 : -1;
    case pm::WM_PARENT_RESIZED:
    case pm::WM_DEVICE_PORTS_CHANGED:
      return 1;
    default:
      return 0;
  }
}
