// The batch-operation page: controls, layout, painting, texts, sub-page
// switching and the device tree.
#include "ui/operations/dlg_operate.h"

CDlgOperate* OperatePageInstance = nullptr;

CDlgOperate::CDlgOperate() { OperatePageInstance = this; }
CDlgOperate::~CDlgOperate() {
  if (OperatePageInstance == this) OperatePageInstance = nullptr;
}

void CDlgOperate::Create(QWidget* parent) {
  setParent(parent);
  hide();
  PlaceInParent();
}

bool CDlgOperate::IsBatchBusy() const {
  return rebootBusy || defaultsBusy || passwordBusy || portsBusy || upgradeBusy || importBusy;
}

pm::LRESULT CDlgOperate::OnPrivateMessage(unsigned message, pm::WPARAM, pm::LPARAM) {
  if (message == pm::WM_PARENT_RESIZED) PlaceInParent();
  return 1;
}

void CDlgOperate::PlaceInParent() {
  if (!parentWidget()) return;
  const QRect client = parentWidget()->contentsRect();
  setGeometry(client.adjusted(60, 60, 0, 0));
}

void CDlgOperate::LayoutPage() {}
void CDlgOperate::LoadSkins() {}
void CDlgOperate::SetControlTexts() {}
void CDlgOperate::PlaceSubPage(QWidget*) {}
void CDlgOperate::CreateSubPages() {}
void CDlgOperate::ShowSubPage(int) {}
void CDlgOperate::OnFind() {}
void CDlgOperate::OnShowAll() {}
pm::LRESULT CDlgOperate::OnLanguageChanged() { return 1; }
pm::LRESULT CDlgOperate::OnSearchStarted() { return 1; }
pm::LRESULT CDlgOperate::OnSearchFinished() { return 1; }
pm::LRESULT CDlgOperate::OnDeviceItemUpdate(pm::WPARAM) { return -1; }
pm::LRESULT CDlgOperate::OnParentResized() { return 1; }
void CDlgOperate::InitDeviceTree() {}
void CDlgOperate::RebuildDeviceTree(CMyTreeCtrl&, DeviceMap&) {}
int CDlgOperate::FilterDeviceTree(const std::string&, DeviceMap&) { return -1; }
void CDlgOperate::OnTreeClick(QTreeWidgetItem*) {}
void CDlgOperate::SetDeviceItemStatus(QTreeWidgetItem*, const QString&) {}
void CDlgOperate::ResetDeviceItemTexts() {}
DeviceRecord* CDlgOperate::RecordOfItem(const QTreeWidgetItem*) { return nullptr; }
QString CDlgOperate::DeviceLabel(const DeviceRecord&) { return {}; }
int CDlgOperate::DeviceItemCount() const { return 0; }
QTreeWidgetItem* CDlgOperate::DeviceItem(int) const { return nullptr; }
void CDlgOperate::paintEvent(QPaintEvent*) {}
bool CDlgOperate::eventFilter(QObject* watched, QEvent* event) { return QWidget::eventFilter(watched, event); }
void CDlgOperate::RepaintSubPageButtons() {}
void CDlgOperate::ShowNotice(const char*) {}
void CDlgOperate::RepaintItemNow(QTreeWidgetItem*) {}
