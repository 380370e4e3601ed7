#pragma once
// CMyColorListCtrlEx: the report list of the device list page and of the
// capacity calculator. On top of the platform's list it gives every row a
// background (alternating for even and odd rows, a third colour for selected
// rows), frames every cell with white grid lines, fills the space right of
// the last column with the row colour, refuses divider drags of columns its
// owner has masked out, and scrolls in pixels. Columns, rows, check boxes,
// sorting and clicks belong to the owner (the QTreeWidget interface).

#include <QColor>
#include <QHeaderView>
#include <QTreeWidget>
#include <cstdint>

#include "ui/framework/colours.h"

// The list's header: flat sections in the panel colour with a sort mark.
class CMyColorHeadCtrlEx : public QHeaderView {
  Q_OBJECT
 public:
  explicit CMyColorHeadCtrlEx(QWidget* parent = nullptr);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
  QSize sectionSizeFromContents(int logicalIndex) const override;
};

class CMyColorListCtrlEx : public QTreeWidget {
  Q_OBJECT
 public:
  explicit CMyColorListCtrlEx(QWidget* parent = nullptr);

  // Written directly by the owner.
  bool gridFrames = true;  // white cell frames and the right-hand filler
  QColor oddRowColour = colours::FromColorRef(0xC0BAB4);
  QColor evenRowColour = colours::FromColorRef(0xD1CDCB);  // row 0 is even
  QColor selectedRowColour = colours::FromColorRef(0xFFB470);
  // Bit n set: column n may be widened or narrowed by dragging its divider.
  // Columns hidden by width 0 with a clear bit cannot be dragged open; the
  // owner can still set any width.
  std::uint32_t columnMask = 0;

  CMyColorHeadCtrlEx* Header() const { return header_; }
  // The background a row is painted with now.
  QColor RowColour(int row) const;

 protected:
  void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ApplyColumnMask();

  CMyColorHeadCtrlEx* header_;
};
