#include "ui/controls/color_list.h"

#include <QEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "ui/framework/skins.h"

CMyColorHeadCtrlEx::CMyColorHeadCtrlEx(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  setDefaultAlignment(Qt::AlignCenter);
  setHighlightSections(false);
  setSectionsClickable(true);
  setMinimumSectionSize(0);
}

QSize CMyColorHeadCtrlEx::sectionSizeFromContents(int logicalIndex) const {
  QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
  size.setHeight(qMax(size.height(), fontMetrics().height() + 12));
  return size;
}

void CMyColorHeadCtrlEx::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  if (!rect.isValid()) return;
  painter->save();
  painter->fillRect(rect, colours::FromColorRef(colours::kPanel));
  painter->setPen(colours::kLine);
  painter->drawLine(rect.topRight(), rect.bottomRight());
  painter->drawLine(rect.bottomLeft(), rect.bottomRight());

  const QAbstractItemModel* m = model();
  const QString text = m ? m->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString() : QString();
  const QVariant alignValue = m ? m->headerData(logicalIndex, orientation(), Qt::TextAlignmentRole) : QVariant();
  const Qt::Alignment align =
      alignValue.isValid() ? Qt::Alignment(alignValue.toInt()) : Qt::Alignment(defaultAlignment());
  const bool sorted = isSortIndicatorShown() && sortIndicatorSection() == logicalIndex;
  QRect textRect = rect.adjusted(6, 0, sorted ? -16 : -6, 0);
  painter->setPen(colours::kInk);
  painter->drawText(textRect, int(align | Qt::AlignVCenter) | Qt::TextSingleLine,
                    fontMetrics().elidedText(text, Qt::ElideRight, textRect.width()));
  if (sorted && rect.width() > 20) {
    // A small accent triangle: up for ascending, down for descending.
    const QPointF c(rect.right() - 10, rect.center().y() + 0.5);
    QPolygonF mark;
    if (sortIndicatorOrder() == Qt::AscendingOrder)
      mark << c + QPointF(-4, 2) << c + QPointF(4, 2) << c + QPointF(0, -3);
    else
      mark << c + QPointF(-4, -2) << c + QPointF(4, -2) << c + QPointF(0, 3);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(colours::kAccent);
    painter->drawPolygon(mark);
  }
  painter->restore();
}

namespace {
// Rows a little taller than the text, so the grid lines keep off the text.
class RowPaddingDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(qMax(size.height(), option.fontMetrics.height() + 8));
    return size;
  }
};
}  // namespace

CMyColorListCtrlEx::CMyColorListCtrlEx(QWidget* parent) : QTreeWidget(parent), header_(new CMyColorHeadCtrlEx(this)) {
  setItemDelegate(new RowPaddingDelegate(this));
  setHeader(header_);
  header_->setStretchLastSection(false);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setIndentation(0);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setAlternatingRowColors(false);
  // The thumb moves the content pixel by pixel, not row by row.
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // The mask is looked at the moment the user reaches for a divider.
  header_->viewport()->installEventFilter(this);
  header_->viewport()->setAttribute(Qt::WA_Hover);
}

QColor CMyColorListCtrlEx::RowColour(int row) const {
  const QModelIndex index = model()->index(row, 0);
  if (selectionModel() && selectionModel()->isSelected(index)) return selectedRowColour;
  return row % 2 == 0 ? evenRowColour : oddRowColour;
}

void CMyColorListCtrlEx::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  const int row = index.row();
  const QColor background = RowColour(row);
  const int top = option.rect.top();
  const int height = option.rect.height();
  const int viewportWidth = viewport()->width();
  painter->fillRect(QRect(0, top, viewportWidth, height), background);

  // The platform draws the cells; selection keeps the row colour and the
  // ordinary text colour.
  QStyleOptionViewItem opt = option;
  opt.palette.setColor(QPalette::Highlight, background);
  opt.palette.setColor(QPalette::HighlightedText, opt.palette.color(QPalette::Text));
  opt.state &= ~QStyle::State_HasFocus;
  QTreeWidget::drawRow(painter, opt, index);

  if (!gridFrames) return;
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, false);
  painter->setBrush(Qt::NoBrush);
  painter->setPen(QPen(Qt::white, 0));
  // Each cell's rectangle widened by one pixel to the left and the top:
  // the lines fall on the last column and row of pixels of each cell.
  const QHeaderView* h = header();
  const int count = h->count();
  int rowLeft = INT_MAX, rowRight = INT_MIN;
  for (int c = 0; c < count; ++c) {
    if (h->isSectionHidden(c)) continue;
    const int x = h->sectionViewportPosition(c);
    const int w = h->sectionSize(c);
    rowLeft = qMin(rowLeft, x);
    rowRight = qMax(rowRight, x + w);
    painter->drawRect(QRect(x - 1, top - 1, w, height));
  }
  if (rowLeft == INT_MAX) {
    painter->restore();
    return;
  }
  painter->drawRect(QRect(rowLeft - 1, top - 1, rowRight - rowLeft, height));  // column 0's bounds: the row
  // The filler right of the last column, in the row's unselected colour.
  if (rowRight < viewportWidth) {
    const QRect filler(rowRight, top - 1, viewportWidth - rowRight, height + 1);
    painter->fillRect(filler, row % 2 == 0 ? evenRowColour : oddRowColour);
    painter->drawRect(filler.adjusted(0, 0, -1, -1));
  }
  painter->restore();
}

void CMyColorListCtrlEx::ApplyColumnMask() {
  QHeaderView* h = header();
  for (int c = 0; c < h->count(); ++c) {
    const bool resizable = c < 32 && (columnMask >> c) & 1u;
    const QHeaderView::ResizeMode wanted = resizable ? QHeaderView::Interactive : QHeaderView::Fixed;
    if (h->sectionResizeMode(c) != wanted) h->setSectionResizeMode(c, wanted);
  }
}

bool CMyColorListCtrlEx::eventFilter(QObject* watched, QEvent* event) {
  if (watched == header_->viewport()) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
      case QEvent::HoverMove:
      case QEvent::HoverEnter:
        ApplyColumnMask();
        break;
      default:
        break;
    }
  }
  return QTreeWidget::eventFilter(watched, event);
}
