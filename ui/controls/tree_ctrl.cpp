#include "ui/controls/tree_ctrl.h"

#include <QHeaderView>

CMyTreeCtrl::CMyTreeCtrl(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(1);
  setHeaderHidden(true);
  setRootIsDecorated(false);   // no expand buttons
  setItemsExpandable(false);   // the owner expands; the user cannot fold
  setExpandsOnDoubleClick(false);
  setUniformRowHeights(true);
  // One column as wide as the longest text, so long texts scroll sideways.
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

QTreeWidgetItem* CMyTreeCtrl::InsertItem(const QString& text, QTreeWidgetItem* parent) {
  auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
  item->setText(0, text);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  item->setCheckState(0, Qt::Unchecked);
  return item;
}

bool HasCheckedTreeItem(const QTreeWidget* tree, int* count) {
  int checked = 0;
  const QTreeWidgetItem* root = tree ? tree->topLevelItem(0) : nullptr;
  if (root) {
    for (int i = 0; i < root->childCount(); ++i) checked += root->child(i)->checkState(0) == Qt::Checked;
  }
  if (count) *count = checked;
  return checked >= 1;
}
