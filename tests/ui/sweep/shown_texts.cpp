#include "tests/ui/sweep/shown_texts.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionViewItem>
#include <QTextEdit>
#include <QTreeView>

#include "ui/controls/skin_button.h"

namespace {

QString Where(const QWidget& w) {
  return QString::fromLatin1(w.metaObject()->className()) + "#" + w.objectName();
}

// Label text as drawn: rich text tags and mnemonics left out.
QString PlainText(const QLabel& label) {
  QString text = label.text();
  if (label.textFormat() == Qt::RichText || (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(text)))
    text.remove(QRegularExpression("<[^>]*>"));
  return text;
}

bool LabelCut(const QLabel& label) {
  const QString text = PlainText(label);
  if (text.isEmpty()) return false;
  const QRect room = label.contentsRect().adjusted(label.margin(), label.margin(), -label.margin(), -label.margin());
  const QFontMetrics metrics(label.font());
  if (label.wordWrap()) return label.heightForWidth(label.width()) > label.height();
  int widest = 0;
  for (const QString& line : text.split('\n')) widest = std::max(widest, metrics.horizontalAdvance(line));
  // Height: the ink of the text, so a large font's empty line spacing does not count.
  const int lines = static_cast<int>(text.count('\n'));
  const int ink = metrics.tightBoundingRect(text).height() + lines * metrics.lineSpacing();
  // Scripts with tall marks (Arabic, Thai) may reach a pixel or two into
  // the label's margin without losing anything.
  return widest > room.width() || ink > label.height() + 2;
}

bool CheckCut(const QAbstractButton& box) {
  if (box.text().isEmpty()) return false;
  return box.sizeHint().width() > box.width() || QFontMetrics(box.font()).height() > box.height();
}

bool ButtonCut(const QAbstractButton& button) {
  QStyleOptionButton option;
  option.initFrom(&button);
  const int margin = button.style()->pixelMetric(QStyle::PM_ButtonMargin, &option, &button);
  return QFontMetrics(button.font()).horizontalAdvance(button.text()) + margin > button.width();
}

// An item is cut when it needs more than its rectangle in the view: the
// column's width (less the indent in a tree), or the viewport's when the
// view cannot scroll sideways. Wide trees that scroll show everything.
ShownText ItemText(const QAbstractItemView* view, const QModelIndex& index, const QString& where, const QString& text) {
  ShownText shown{where, text, false, 0, 0, true};
  if (!view) return shown;
  const QRect rect = view->visualRect(index);
  if (rect.isEmpty()) return shown;
  QStyleOptionViewItem option;
  option.initFrom(view);
  option.font = view->font();
  const int small = view->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, view);
  option.decorationSize = view->iconSize().isValid() ? view->iconSize() : QSize(small, small);
  shown.room = rect.width();
  if (view->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff)
    shown.room = std::min(shown.room, view->viewport()->width() - rect.left());
  shown.needed = view->itemDelegateForIndex(index)->sizeHint(option, index).width();
  shown.cut = shown.needed > shown.room;
  return shown;
}

// A column of width 0 is hidden: its texts are not shown.
bool ColumnHidden(const QAbstractItemView* view, int column) {
  const auto* tree = qobject_cast<const QTreeView*>(view);
  return tree && (tree->isColumnHidden(column) || tree->columnWidth(column) == 0);
}

void AddModelTexts(const QAbstractItemModel& model, const QModelIndex& parent, const QString& where,
                   std::vector<ShownText>& out, const QAbstractItemView* view = nullptr) {
  for (int row = 0; row < model.rowCount(parent); ++row) {
    for (int column = 0; column < model.columnCount(parent); ++column) {
      if (ColumnHidden(view, column)) continue;
      const QModelIndex index = model.index(row, column, parent);
      const QString text = index.data(Qt::DisplayRole).toString();
      if (!text.isEmpty()) out.push_back(ItemText(view, index, where + QString("[%1,%2]").arg(row).arg(column), text));
      const QString tip = index.data(Qt::ToolTipRole).toString();
      if (!tip.isEmpty()) out.push_back({where + QString("[%1,%2] tooltip").arg(row).arg(column), tip, false});
      if (column == 0 && model.hasChildren(index))
        AddModelTexts(model, index, where + QString("/%1").arg(row), out, view);
    }
  }
}

void AddHeaderTexts(const QAbstractItemView* view, const QHeaderView& header, const QString& where,
                    std::vector<ShownText>& out) {
  // At least the colour list's own padding of 6 pixels a side, and room for
  // a sort arrow where one shows.
  const int margin = std::max(6, header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header));
  for (int column = 0; column < header.count(); ++column) {
    if (ColumnHidden(view, column) || header.isSectionHidden(column) || header.sectionSize(column) == 0) continue;
    const QString text = header.model()->headerData(column, Qt::Horizontal).toString();
    if (text.isEmpty()) continue;
    const bool sorted = header.isSortIndicatorShown() && header.sortIndicatorSection() == column;
    const int needed = QFontMetrics(header.font()).horizontalAdvance(text) + 2 * margin + (sorted ? 10 : 0);
    out.push_back({where + QString(" header %1").arg(column), text, needed > header.sectionSize(column),
                   header.sectionSize(column), needed});
  }
}

}  // namespace

std::vector<ShownText> ShownTexts(QWidget& window) {
  std::vector<ShownText> out;
  QList<QWidget*> widgets = window.findChildren<QWidget*>();
  widgets.prepend(&window);
  for (QWidget* w : widgets) {
    if (w != &window && !w->isVisibleTo(&window)) continue;
    if (w->window() != &window && w != &window) continue;  // popups are windows of their own
    const QString where = Where(*w);
    if (!w->toolTip().isEmpty()) out.push_back({where + " tooltip", w->toolTip(), false});
    if (auto* label = qobject_cast<QLabel*>(w)) {
      const QString text = PlainText(*label);
      if (!text.isEmpty())
        out.push_back({where, text, LabelCut(*label), label->width(), QFontMetrics(label->font()).horizontalAdvance(text)});
    } else if (auto* skin = qobject_cast<CxSkinButton*>(w)) {
      if (!skin->caption.isEmpty()) out.push_back({where, skin->caption, false});
      if (!skin->text().isEmpty() && skin->text() != skin->caption) out.push_back({where + " text", skin->text(), false});
      if (!skin->ToolTipText().isEmpty()) out.push_back({where + " tooltip", skin->ToolTipText(), false});
    } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
      auto* box = static_cast<QAbstractButton*>(w);
      if (!box->text().isEmpty()) out.push_back({where, box->text(), CheckCut(*box), box->width(), box->sizeHint().width()});
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      if (!button->text().isEmpty())
        out.push_back({where, button->text(), ButtonCut(*button), button->width(),
                       QFontMetrics(button->font()).horizontalAdvance(button->text())});
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
      AddModelTexts(*combo->model(), combo->rootModelIndex(), where, out);
      if (!combo->currentText().isEmpty()) {
        const int needed = QFontMetrics(combo->font()).horizontalAdvance(combo->currentText()) + 28;
        out.push_back({where + " current", combo->currentText(), needed > combo->width(), combo->width(), needed});
      }
    } else if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
      if (view->model()) {
        AddModelTexts(*view->model(), view->rootIndex(), where, out, view);
        for (QHeaderView* header : view->findChildren<QHeaderView*>())
          if (header->orientation() == Qt::Horizontal && header->isVisibleTo(&window))
            AddHeaderTexts(view, *header, where, out);
      }
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
      if (!edit->text().isEmpty()) out.push_back({where, edit->text(), false});
      if (!edit->placeholderText().isEmpty()) out.push_back({where + " placeholder", edit->placeholderText(), false});
    } else if (auto* text = qobject_cast<QTextEdit*>(w)) {
      if (!text->toPlainText().isEmpty()) out.push_back({where, text->toPlainText(), false});
    } else if (auto* menu = qobject_cast<QMenu*>(w)) {
      if (!menu->title().isEmpty()) out.push_back({where + " title", menu->title(), false});
      for (const QAction* action : menu->actions())
        if (action->isVisible() && !action->text().isEmpty())
          out.push_back({where + " " + action->objectName(), action->text(), false});
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
      if (!group->title().isEmpty()) out.push_back({where, group->title(), false});
    }
  }
  return out;
}

QHash<QString, QString> ReadLanguageFile(const QString& path) {
  QHash<QString, QString> dictionary;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return dictionary;
  bool inStrings = false;
  for (const QString& raw : QString::fromUtf8(file.readAll()).split('\n')) {
    const QString line = raw.trimmed();
    if (line.startsWith('[')) {
      inStrings = line.compare("[String]", Qt::CaseInsensitive) == 0;
      continue;
    }
    const qsizetype eq = line.indexOf('=');
    if (!inStrings || line.startsWith(';') || eq <= 0) continue;
    dictionary.insert(line.left(eq).trimmed(), line.mid(eq + 1));
  }
  return dictionary;
}

QStringList RawKeysIn(const QString& text, const QHash<QString, QString>& dictionary) {
  QStringList raw;
  static const QRegularExpression word("[A-Za-z0-9_.]+");
  // Keys of the shapes the program uses, also those no file defines (a typo).
  static const QRegularExpression keyShape("^(tx|ck|info|msg|menu)\\.[A-Za-z_][A-Za-z0-9_]*$");
  for (auto it = word.globalMatch(text); it.hasNext();) {
    QString candidate = it.next().captured();
    while (candidate.endsWith('.')) candidate.chop(1);
    if (dictionary.contains(candidate) || keyShape.match(candidate).hasMatch()) raw << candidate;
  }
  return raw;
}
