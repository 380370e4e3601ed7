#include "ui/framework/banded_dialog.h"

#include <QLabel>
#include <QPainter>

#include "ui/framework/colours.h"
#include "ui/framework/dialog_units.h"

namespace banded_dialog {

void PlaceControls(std::initializer_list<Placement> placements) {
  for (const Placement& p : placements) {
    p.widget->setObjectName(QString::number(p.id));
    const QRect& du = p.dialogUnits;
    p.widget->setGeometry(TemplateRect(du.x(), du.y(), du.width(), du.height()));
  }
}

void MakeTitleWhite(QLabel& title) {
  QPalette white = title.palette();
  white.setColor(QPalette::WindowText, Qt::white);
  title.setPalette(white);
}

void PaintFrame(QWidget& dialog, int panelTop) {
  QPainter p(&dialog);
  const int width = dialog.width();
  p.fillRect(dialog.rect(), Qt::white);
  p.fillRect(QRect(0, 0, width, kBandRows), colours::FromColorRef(colours::kBand));
  p.fillRect(QRect(0, panelTop, width, dialog.height() - panelTop), colours::FromColorRef(colours::kPanel));
  p.setPen(colours::FromColorRef(0xC8C8C8));
  p.drawRect(dialog.rect().adjusted(0, 0, -1, -1));
}

}  // namespace banded_dialog
