#include "ui/controls/bordered_popup.h"

#include <QDialog>
#include <QLabel>
#include <QPainter>

#include "ui/framework/colours.h"
#include "ui/framework/title_band.h"

namespace bordered_popup {

ClientArea::ClientArea(QWidget* popup, int bandRows, bool buttonBand)
    : QWidget(popup), bandRows_(bandRows), buttonBand_(buttonBand) {}

void ClientArea::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect();
  p.fillRect(QRect(r.left(), r.top(), r.width(), bandRows_), colours::FromColorRef(colours::kBand));
  p.fillRect(QRect(r.left(), r.top() + bandRows_, r.width(), r.height() - bandRows_),
             colours::FromColorRef(colours::kWhite));
  if (buttonBand_)
    p.fillRect(QRect(r.left(), r.bottom() + 1 - bandRows_, r.width(), bandRows_), colours::FromColorRef(colours::kPanel));
}

void FramePopup(QDialog& popup, const QFont& templateFont, int bandRows) {
  popup.setAttribute(Qt::WA_DeleteOnClose, false);
  popup.setFont(templateFont);
  QPalette pal = popup.palette();
  pal.setColor(QPalette::Window, colours::FromColorRef(colours::kBorder));
  popup.setPalette(pal);
  popup.setAutoFillBackground(true);
  new titleband::TitleBand(&popup, bandRows + 1);  // the band lies below the 1-pixel border
}

void StyleTitle(QLabel& title) {
  QPalette titlePalette = title.palette();
  titlePalette.setColor(QPalette::WindowText, Qt::white);
  title.setPalette(titlePalette);
  title.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  title.setAttribute(Qt::WA_TransparentForMouseEvents);
}

}  // namespace bordered_popup
