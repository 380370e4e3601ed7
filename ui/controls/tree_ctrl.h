#pragma once
// CMyTreeCtrl: the device tree of the batch-operation page: the platform's
// tree with a check box on every item, no lines and no expand buttons, and a
// horizontal scroll bar for long item texts. The owner fills it and reads
// and sets check states and texts through the QTreeWidget interface.

#include <QString>
#include <QTreeWidget>

class CMyTreeCtrl : public QTreeWidget {
  Q_OBJECT
 public:
  explicit CMyTreeCtrl(QWidget* parent = nullptr);

  // Appends an item with an unchecked check box under parent (a new root
  // when parent is null), as items of a check-box tree come.
  QTreeWidgetItem* InsertItem(const QString& text, QTreeWidgetItem* parent = nullptr);

  // The item whose check box lies under pos (viewport coordinates), else null.
  QTreeWidgetItem* CheckBoxItemAt(const QPoint& pos) const;
};

// Counts the checked items among the direct children of the tree's first
// root item into *count (when count is given); true when at least one is
// checked. No tree, no root or a root without children: 0 and false.
bool HasCheckedTreeItem(const QTreeWidget* tree, int* count);
