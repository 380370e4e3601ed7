// The batch-operation page: start-up state, sub-page switching, the device
// tree with its check-box rules, FIND/ALL, item texts and the language change.
#include <QCoreApplication>
#include <QTest>

#include "tests/ui/operations/operate_page_fixture.h"
#include "tests/ui/support/ink_span.h"

namespace operate_test {
namespace {

using Page = CDlgOperate;

TEST_F(OperatePageTest, StartsOnTheUpgradeSubPageWithItsButtonPinned) {
  EXPECT_EQ(op->currentPageId, Page::kPageUpgrade);
  EXPECT_EQ(op->currentPage, &op->upgradePage);
  EXPECT_FALSE(op->upgradePage.isHidden());
  for (QWidget* hidden : {static_cast<QWidget*>(&op->passwordPage), static_cast<QWidget*>(&op->portPage),
                          static_cast<QWidget*>(&op->configurationPage), static_cast<QWidget*>(&op->rebootPage)}) {
    EXPECT_TRUE(hidden->isHidden());
    EXPECT_EQ(hidden->geometry(), op->upgradePage.geometry());  // all on the sub-page area
  }
  EXPECT_EQ(op->upgradeButton.forcedState, 1);
  EXPECT_EQ(op->upgradeButton.textColour, QColor(Qt::white));
  EXPECT_EQ(op->rebootButton.forcedState, 0);
  ASSERT_NE(op->rootItem, nullptr);
  EXPECT_EQ(op->rootItem->text(0), Text("tx.Device_list"));
  EXPECT_EQ(op->showingAll, 1);
}

TEST_F(OperatePageTest, SubPageAreaFollowsTheLayout) {
  const QRect page = op->rect();
  EXPECT_EQ(op->upgradePage.geometry(), QRect(448, 90, page.width() - 20 - 448, page.height() - 20 - 90));
  op->resize(900, 500);
  pm::SendPrivateMessage(op, pm::WM_PARENT_RESIZED);
  // Placed back in the main window, hidden sub-pages too.
  const QRect placed = op->rect();
  EXPECT_EQ(op->rebootPage.geometry(), QRect(448, 90, placed.width() - 468, placed.height() - 110));
  EXPECT_EQ(op->deviceTree.geometry(), QRect(20, 58, 230, placed.height() - 78));
}

TEST_F(OperatePageTest, SubPageButtonsSwitchPagesAndPinTheirButton) {
  const struct {
    CxSkinButton* button;
    int id;
    QWidget* page;
  } cases[] = {{&op->passwordButton, Page::kPagePassword, &op->passwordPage},
               {&op->portsButton, Page::kPagePorts, &op->portPage},
               {&op->configurationButton, Page::kPageConfiguration, &op->configurationPage},
               {&op->rebootButton, Page::kPageReboot, &op->rebootPage},
               {&op->upgradeButton, Page::kPageUpgrade, &op->upgradePage}};
  CxSkinButton* all[] = {&op->passwordButton, &op->portsButton, &op->configurationButton, &op->rebootButton,
                         &op->upgradeButton};
  for (const auto& c : cases) {
    QWidget* before = op->currentPage;
    c.button->click();
    EXPECT_EQ(op->currentPageId, c.id);
    EXPECT_EQ(op->currentPage, c.page);
    EXPECT_FALSE(c.page->isHidden());
    if (before != c.page) {
      EXPECT_TRUE(before->isHidden());
    }
    for (CxSkinButton* b : all) {
      EXPECT_EQ(b->forcedState, b == c.button ? 1 : 0);
      EXPECT_EQ(b->textColour, b == c.button ? QColor(Qt::white) : QColor(Qt::black));
    }
  }
  // The shown page's button again keeps the page.
  op->upgradeButton.click();
  EXPECT_EQ(op->currentPage, &op->upgradePage);
  EXPECT_FALSE(op->upgradePage.isHidden());
}

TEST_F(OperatePageTest, SearchFillsTheTreeInMacOrderWithRecordsAsItemData) {
  Search(ThreeDevices());
  EXPECT_EQ(ItemTexts(), QStringList({"192.168.1.30", "10.0.0.20", "192.168.1.10"}));
  for (int i = 0; i < op->DeviceItemCount(); ++i) {
    EXPECT_EQ(op->DeviceItem(i)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(Page::RecordOfItem(op->DeviceItem(i)), &std::next(Main().deviceMap.begin(), i)->second);
  }
  EXPECT_EQ(op->deviceTree.topLevelItemCount(), 1);
  EXPECT_TRUE(op->rootItem->isExpanded());
}

TEST_F(OperatePageTest, SearchStartEmptiesTheTreeToItsRoot) {
  Search(ThreeDevices());
  pm::SendPrivateMessage(op, pm::WM_SEARCH_STARTED);
  EXPECT_EQ(op->deviceTree.topLevelItemCount(), 1);
  EXPECT_EQ(op->DeviceItemCount(), 0);
  EXPECT_EQ(op->rootItem->text(0), Text("tx.Device_list"));
}

TEST_F(OperatePageTest, RootBoxChecksAndUnchecksEveryDevice) {
  Search(ThreeDevices());
  op->OnTreeClick(op->rootItem);  // root unchecked: the click checks all
  EXPECT_EQ(ItemTexts().size(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(op->DeviceItem(i)->checkState(0), Qt::Checked);
  op->rootItem->setCheckState(0, Qt::Checked);  // the tree's own toggle
  op->OnTreeClick(op->rootItem);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(op->DeviceItem(i)->checkState(0), Qt::Unchecked);
}

TEST_F(OperatePageTest, RootFollowsTheDevices) {
  Search(ThreeDevices());
  QTreeWidgetItem* a = op->DeviceItem(0);
  QTreeWidgetItem* b = op->DeviceItem(1);
  QTreeWidgetItem* c = op->DeviceItem(2);
  a->setCheckState(0, Qt::Checked);
  op->OnTreeClick(b);  // c still unchecked
  EXPECT_EQ(op->rootItem->checkState(0), Qt::Unchecked);
  b->setCheckState(0, Qt::Checked);
  op->OnTreeClick(c);  // every other device checked
  EXPECT_EQ(op->rootItem->checkState(0), Qt::Checked);
  c->setCheckState(0, Qt::Checked);
  op->OnTreeClick(a);  // unchecking one device
  EXPECT_EQ(op->rootItem->checkState(0), Qt::Unchecked);
}

TEST(OperatePageClick, ARealClickOnABoxAppliesTheRulesBeforeTheToggle) {
  // A page of its own, shown as a window, so the tree lays out and takes clicks.
  CDlgOperate page;
  page.Create(nullptr);
  page.resize(1000, 600);
  page.LayoutPage();
  DeviceMap map;
  for (const DeviceRecord& r : ThreeDevices()) InsertFirstByMac(map, r);
  page.RebuildDeviceTree(page.deviceTree, map);
  page.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
  const auto boxOf = [&](QTreeWidgetItem* item) {
    const QRect row = page.deviceTree.visualItemRect(item);
    for (int x = row.left(); x < row.right(); ++x)
      if (page.deviceTree.CheckBoxItemAt(QPoint(x, row.center().y())) == item) return QPoint(x + 3, row.center().y());
    return QPoint();
  };
  const QPoint rootBox = boxOf(page.rootItem);
  ASSERT_FALSE(rootBox.isNull());
  QTest::mouseClick(page.deviceTree.viewport(), Qt::LeftButton, {}, rootBox);
  EXPECT_EQ(page.rootItem->checkState(0), Qt::Checked);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(page.DeviceItem(i)->checkState(0), Qt::Checked);

  // Unchecking one device by its box unchecks the root.
  QTest::mouseClick(page.deviceTree.viewport(), Qt::LeftButton, {}, boxOf(page.DeviceItem(1)));
  EXPECT_EQ(page.DeviceItem(1)->checkState(0), Qt::Unchecked);
  EXPECT_EQ(page.rootItem->checkState(0), Qt::Unchecked);

  // A click on the label beside a box changes no box.
  const QRect row = page.deviceTree.visualItemRect(page.DeviceItem(1));
  QTest::mouseClick(page.deviceTree.viewport(), Qt::LeftButton, {}, QPoint(row.left() + 80, row.center().y()));
  EXPECT_EQ(page.DeviceItem(1)->checkState(0), Qt::Unchecked);
  EXPECT_EQ(page.rootItem->checkState(0), Qt::Unchecked);
}

TEST_F(OperatePageTest, FindKeepsDevicesWhoseIpHoldsTheText) {
  Search(ThreeDevices());
  const struct {
    const char* text;
    QStringList items;
    uint8_t showingAll;
  } cases[] = {{"192.168.1.", {"192.168.1.30", "192.168.1.10"}, 0},
               {".20", {"10.0.0.20"}, 0},
               {"172.", {}, 0},
               {".", {"192.168.1.30", "10.0.0.20", "192.168.1.10"}, 1}};
  for (const auto& c : cases) {
    op->findEdit.setText(c.text);
    op->findButton.click();
    EXPECT_EQ(ItemTexts(), c.items) << c.text;
    EXPECT_EQ(op->showingAll, c.showingAll) << c.text;
    EXPECT_EQ(op->rootItem->text(0), Text("tx.Device_list"));
  }
}

TEST_F(OperatePageTest, AllShowsEveryDeviceAgainOnce) {
  Search(ThreeDevices());
  op->findEdit.setText("10.0");
  op->OnFind();
  ASSERT_EQ(op->DeviceItemCount(), 1);
  op->DeviceItem(0)->setCheckState(0, Qt::Checked);
  op->allButton.click();
  EXPECT_EQ(op->DeviceItemCount(), 3);
  EXPECT_EQ(op->showingAll, 1);
  // A second ALL does nothing: the tree is not rebuilt.
  op->DeviceItem(1)->setCheckState(0, Qt::Checked);
  op->OnShowAll();
  EXPECT_EQ(op->DeviceItem(1)->checkState(0), Qt::Checked);
}

TEST_F(OperatePageTest, FindWithAnEmptyBoxDoesNothingEvenWhileBusy) {
  Search(ThreeDevices());
  op->rebootBusy = 1;
  op->findEdit.clear();
  op->OnFind();
  EXPECT_TRUE(shown.empty());
  op->rebootBusy = 0;
}

TEST_F(OperatePageTest, FindAndAllWhileARunIsBusyAreRefused) {
  Search(ThreeDevices());
  op->findEdit.setText("10.0");
  op->upgradeRun.upgradeBusy = 1;
  op->OnFind();
  EXPECT_EQ(op->DeviceItemCount(), 3);
  op->upgradeRun.upgradeBusy = 0;
  op->OnFind();
  op->importRun.importBusy = 1;
  op->OnShowAll();
  EXPECT_EQ(op->DeviceItemCount(), 1);
  op->importRun.importBusy = 0;
  EXPECT_EQ(Shown(), QStringList({Text("info.Configuring_wait"), Text("info.Configuring_wait")}));
}

TEST_F(OperatePageTest, ASearchDuringAFilteredViewShowsEveryDevice) {
  Search(ThreeDevices());
  op->findEdit.setText("10.0");
  op->OnFind();
  Search(ThreeDevices());
  EXPECT_EQ(op->DeviceItemCount(), 3);
}

TEST_F(OperatePageTest, StatusTextsAndTheirResetOnlyForTouchedItems) {
  Search(ThreeDevices());
  QTreeWidgetItem* touched = ItemOf("10.0.0.20");
  QTreeWidgetItem* untouched = ItemOf("192.168.1.10");
  op->SetDeviceItemStatus(touched, Text("tx.fail"));
  Record("10.0.0.20").batchTouched = 1;
  op->SetDeviceItemStatus(untouched, Text("tx.success"));  // a status without the mark
  EXPECT_EQ(touched->text(0), Status("10.0.0.20", "tx.fail"));
  op->ResetDeviceItemTexts();
  EXPECT_EQ(touched->text(0), "10.0.0.20");
  EXPECT_EQ(Record("10.0.0.20").batchTouched, 0);
  EXPECT_EQ(untouched->text(0), Status("192.168.1.10", "tx.success"));
}

TEST_F(OperatePageTest, ItemUpdateShowsTheNewBareLabelOfTheDevice) {
  Search(ThreeDevices());
  QTreeWidgetItem* item = ItemOf("10.0.0.20");
  op->SetDeviceItemStatus(item, Text("tx.success"));
  DeviceRecord& record = Record("10.0.0.20");
  record.batchTouched = 1;
  record.ip = "10.0.0.99";  // a network change moved it
  std::string mac = record.mac;
  EXPECT_EQ(pm::SendPrivateMessage(op, pm::WM_DEVICE_ITEM_UPDATE, reinterpret_cast<pm::WPARAM>(&mac)), 1);
  EXPECT_EQ(item->text(0), "10.0.0.99");
  EXPECT_EQ(record.batchTouched, 1);
  std::string unknown = "00:00:00:00:00:09";
  const QStringList before = ItemTexts();
  EXPECT_EQ(pm::SendPrivateMessage(op, pm::WM_DEVICE_ITEM_UPDATE, reinterpret_cast<pm::WPARAM>(&unknown)), -1);
  EXPECT_EQ(pm::SendPrivateMessage(op, pm::WM_DEVICE_ITEM_UPDATE, 0), -1);
  EXPECT_EQ(ItemTexts(), before);
}

TEST_F(OperatePageTest, LanguageChangeRecaptionsThePageAndEverySubPage) {
  Search(ThreeDevices());
  // Captions written by hand stand for the texts of another language.
  op->rebootButton.caption = "x";
  op->rootItem->setText(0, "x");
  op->rebootPage.rebootButton.caption = "x";  // hidden sub-page
  op->portPage.httpLabel.setText("x");
  op->upgradePage.upgradeButton.caption = "x";
  EXPECT_EQ(pm::SendPrivateMessage(op, pm::WM_LANGUAGE_CHANGED), 1);
  EXPECT_EQ(op->rebootButton.caption, Text("tx.Reboot"));
  EXPECT_EQ(op->rebootButton.ToolTipText(), Text("tx.Reboot"));
  EXPECT_EQ(op->findButton.ToolTipText(), Text("tx.Find"));
  EXPECT_EQ(op->rootItem->text(0), Text("tx.Device_list"));
  // The sub-pages' own change is posted.
  QCoreApplication::processEvents();
  EXPECT_EQ(op->rebootPage.rebootButton.caption, Text("tx.RebootDev"));
  EXPECT_EQ(op->portPage.httpLabel.text(), Text("tx.Http_Onvif_port"));
  EXPECT_EQ(op->upgradePage.upgradeButton.caption, Text("tx.Upgrade"));
}

// Each text is the button's window text, caption and tooltip: FIND and ALL
// here show their captions on their pictures (unlike the device list's).
TEST_F(OperatePageTest, EveryButtonShowsItsTextAsCaptionAndTooltip) {
  const struct {
    CxSkinButton* button;
    const char* key;
  } buttons[] = {{&op->findButton, "tx.Find"},       {&op->allButton, "tx.All"},
                 {&op->rebootButton, "tx.Reboot"},   {&op->passwordButton, "tx.Password"},
                 {&op->portsButton, "tx.Port"},      {&op->upgradeButton, "tx.Upgrade"},
                 {&op->configurationButton, "tx.Configuration"}};
  for (const auto& b : buttons) b.button->caption.clear();
  ASSERT_EQ(pm::SendPrivateMessage(op, pm::WM_LANGUAGE_CHANGED), 1);
  for (const auto& b : buttons) {
    SCOPED_TRACE(b.key);
    EXPECT_EQ(b.button->text(), Text(b.key));
    EXPECT_EQ(b.button->caption, Text(b.key));
    EXPECT_EQ(b.button->ToolTipText(), Text(b.key));
  }
  EXPECT_EQ(op->titleLabel.text(), Text("tx.DevOperate"));
}

// The title starts beside its marker bar in every direction of writing.
TEST_F(OperatePageTest, RightToLeftTitleStaysBesideItsMarkerBar) {
  for (const char* text : {"Batch operations", "العمليات الجماعية", "عملیات گروهی", "פעולות קבוצתיות"}) {
    SCOPED_TRACE(text);
    op->titleLabel.setText(QString::fromUtf8(text));
    const InkSpan ink = InkOf(op->titleLabel);
    ASSERT_GE(ink.left, 0);
    EXPECT_LE(ink.left, 2) << "the bar ends at " << op->markerBar.geometry().right();
  }
}

}  // namespace
}  // namespace operate_test
