#include "ui/controls/tree_ctrl.h"

#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionViewItem>

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

QTreeWidgetItem* CMyTreeCtrl::CheckBoxItemAt(const QPoint& pos) const {
  const QModelIndex index = indexAt(pos);
  QTreeWidgetItem* item = itemFromIndex(index);
  if (!item || !(item->flags() & Qt::ItemIsUserCheckable)) return nullptr;
  // The box where the item delegate draws it and takes its clicks.
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  option.rect = visualRect(index);
  option.index = index;
  option.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
  option.checkState = item->checkState(0);
  option.text = item->text(0);
  const QRect box = style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
  return box.contains(pos) ? item : nullptr;
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
