// What the five sub-pages share.
#include "ui/operations/batch_sub_page.h"

#include "ui/operations/dlg_operate.h"

CBatchSubPage::CBatchSubPage(bool) {}
CBatchSubPage::~CBatchSubPage() = default;
void CBatchSubPage::Create(CDlgOperate* page) {
  setParent(page);
  hide();
  created_ = true;
}
CDlgOperate* CBatchSubPage::ParentPage() const { return qobject_cast<CDlgOperate*>(parentWidget()); }
pm::LRESULT CBatchSubPage::OnPrivateMessage(unsigned, pm::WPARAM, pm::LPARAM) { return 1; }
void CBatchSubPage::SetButtonText(CxSkinButton&, const QString&) {}
QString CBatchSubPage::StartFolderFor(const QString&) { return {}; }
QString CBatchSubPage::DialogFilter(const QString&) { return {}; }
void CBatchSubPage::paintEvent(QPaintEvent*) {}
int CBatchSubPage::ShowBox(const char*, int) { return 2; }
bool CBatchSubPage::RefuseWhileBusy() const { return true; }
QString CBatchSubPage::BrowseForFile(const QString&, const QString&) { return {}; }
void CBatchSubPage::SendToPage(unsigned, pm::WPARAM, pm::LPARAM) {}
