#include <gtest/gtest.h>

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "tests/ui/controls/render_support.h"
#include "ui/controls/tree_ctrl.h"

namespace {

TEST(HasCheckedTreeItem, CountsCheckedDirectChildrenOfTheFirstRoot) {
  // Each case: which of the root's four children are checked, plus what
  // else is checked that must not count.
  struct Case {
    const char* what;
    std::vector<int> checkedChildren;
    bool rootChecked;
    bool grandchildChecked;
    bool secondRootChildChecked;
    int expected;
  };
  const Case cases[] = {
      {"none", {}, false, false, false, 0},
      {"one", {2}, false, false, false, 1},
      {"all", {0, 1, 2, 3}, false, false, false, 4},
      {"root itself", {}, true, false, false, 0},
      {"grandchild", {}, false, true, false, 0},
      {"second root", {}, false, false, true, 0},
      {"mixed", {0, 3}, true, true, true, 2},
  };
  for (const Case& c : cases) {
    CMyTreeCtrl tree;
    QTreeWidgetItem* root = tree.InsertItem("Device list");
    for (int i = 0; i < 4; ++i) tree.InsertItem(QString("10.0.0.%1").arg(i), root);
    QTreeWidgetItem* grandchild = tree.InsertItem("below", root->child(1));
    QTreeWidgetItem* second = tree.InsertItem("other root");
    QTreeWidgetItem* secondChild = tree.InsertItem("x", second);
    for (int i : c.checkedChildren) root->child(i)->setCheckState(0, Qt::Checked);
    if (c.rootChecked) root->setCheckState(0, Qt::Checked);
    if (c.grandchildChecked) grandchild->setCheckState(0, Qt::Checked);
    if (c.secondRootChildChecked) secondChild->setCheckState(0, Qt::Checked);
    int count = -1;
    EXPECT_EQ(HasCheckedTreeItem(&tree, &count), c.expected >= 1) << c.what;
    EXPECT_EQ(count, c.expected) << c.what;
  }
}

TEST(HasCheckedTreeItem, NoTreeNoRootOrNoChildrenGiveZero) {
  int count = -1;
  EXPECT_FALSE(HasCheckedTreeItem(nullptr, &count));
  EXPECT_EQ(count, 0);
  CMyTreeCtrl tree;
  count = -1;
  EXPECT_FALSE(HasCheckedTreeItem(&tree, &count));
  EXPECT_EQ(count, 0);
  QTreeWidgetItem* root = tree.InsertItem("Device list");
  root->setCheckState(0, Qt::Checked);
  count = -1;
  EXPECT_FALSE(HasCheckedTreeItem(&tree, &count));
  EXPECT_EQ(count, 0);
  EXPECT_FALSE(HasCheckedTreeItem(&tree, nullptr));
}

TEST(CMyTreeCtrl, OwnerGetsCheckSelectionAndClickNotices) {
  CMyTreeCtrl tree;
  tree.resize(200, 200);
  QTreeWidgetItem* root = tree.InsertItem("Device list");
  QTreeWidgetItem* device = tree.InsertItem("192.168.1.20", root);
  tree.expandAll();
  tree.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
  QSignalSpy changed(&tree, &QTreeWidget::itemChanged);
  QSignalSpy clicked(&tree, &QTreeWidget::itemClicked);
  QSignalSpy current(&tree, &QTreeWidget::currentItemChanged);

  const QRect r = tree.visualItemRect(device);
  QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(r.right() - 5, r.center().y()));
  EXPECT_EQ(clicked.count(), 1);
  EXPECT_GE(current.count(), 1);
  EXPECT_EQ(tree.currentItem(), device);

  QTest::keyClick(tree.viewport(), Qt::Key_Space);
  EXPECT_EQ(device->checkState(0), Qt::Checked);
  EXPECT_GE(changed.count(), 1);
  int count = 0;
  EXPECT_TRUE(HasCheckedTreeItem(&tree, &count));
  EXPECT_EQ(count, 1);
  EXPECT_EQ(root->checkState(0), Qt::Unchecked) << "checking a device leaves the root alone";
  KeepPicture(Grab(tree), "tree_checked");
}

TEST(CMyTreeCtrl, LongTextsScrollSideways) {
  CMyTreeCtrl tree;
  tree.resize(120, 150);
  QTreeWidgetItem* root = tree.InsertItem("Device list");
  tree.InsertItem("192.168.100.200  Upgrading 57%  a long status text", root);
  tree.expandAll();
  tree.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
  QTest::qWait(20);
  EXPECT_GT(tree.horizontalScrollBar()->maximum(), 0);
  EXPECT_FALSE(tree.rootIsDecorated());
}

}  // namespace
