#include "ui/controls/skin_button.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QThread>
#include <QToolTip>

#include "ui/framework/skins.h"
#include "ui/framework/thread_handover.h"

CxSkinButton::CxSkinButton(QWidget* parent) : QPushButton(parent) {
  textColour = palette().color(QPalette::ButtonText);
  setMouseTracking(true);  // hover needs moves without a button held
  setAutoDefault(false);
  toolTipTimer_.setSingleShot(true);
  toolTipTimer_.setInterval(kToolTipDelayMs);
  connect(&toolTipTimer_, &QTimer::timeout, this, &CxSkinButton::ShowToolTipNow);
}

CxSkinButton::~CxSkinButton() {
  // The tooltip goes before the button.
  toolTipTimer_.stop();
  if (toolTipCreated_ && QToolTip::isVisible() && QToolTip::text() == toolTipText_) QToolTip::hideText();
}

void CxSkinButton::SetSkin(int normal, int pressed, int hover, int disabled, int, int, int, int, int) {
  SetSkinPictures(skins::Bitmap(normal), skins::Bitmap(pressed), skins::Bitmap(hover), skins::Bitmap(disabled));
  setCursor(Qt::PointingHandCursor);
}

void CxSkinButton::SetSkinPictures(const QPixmap& normal, const QPixmap& pressed, const QPixmap& hover,
                                   const QPixmap& disabled) {
  pictures_ = {normal, pressed, hover, disabled};
  update();
}

void CxSkinButton::SetToolTipText(const QString& text) {
  toolTipCreated_ = true;
  toolTipFromCaption_ = false;
  toolTipText_ = text;
  setToolTip(text);  // for accessibility; showing is timed by the button itself
  if (QToolTip::isVisible() && QToolTip::text() != text && underMouse() && !text.isEmpty()) ShowToolTipNow();
}

void CxSkinButton::SetOwnerDrawn(bool ownerDrawn) {
  ownerDrawn_ = ownerDrawn;
  update();
}

void CxSkinButton::Redraw() {
  if (QThread::currentThread() == thread())
    update();
  else
    handover::PostToUiThread(this, [this] { update(); });
}

void CxSkinButton::SetEnabledFromAnyThread(bool enabled) {
  if (QThread::currentThread() == thread())
    setEnabled(enabled);
  else
    handover::PostToUiThread(this, [this, enabled] { setEnabled(enabled); });
}

CxSkinButton::Picture CxSkinButton::ChosenPicture() const {
  const int forced = forcedState;
  if (forced == 1) return kPressed;
  if (forced == 2) return kHover;
  if (forced != 0) return kDisabled;
  if (!isEnabled()) return kDisabled;
  if (isDown()) return kPressed;
  return (over_ && !pictures_[kHover].isNull()) ? kHover : kNormal;
}

void CxSkinButton::DrawPicture(QPainter& painter, const QPixmap& picture) const {
  const QRect r = rect();
  if (picture.size() == r.size()) {
    painter.drawPixmap(0, 0, picture);
    return;
  }
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const int pw = picture.width(), ph = picture.height();
  const int e = kEndWidth;
  if (pw <= 2 * e || r.width() <= 2 * e) {
    painter.drawPixmap(r, picture);
    return;
  }
  painter.drawPixmap(QRect(0, 0, e, r.height()), picture, QRect(0, 0, e, ph));
  painter.drawPixmap(QRect(r.width() - e, 0, e, r.height()), picture, QRect(pw - e, 0, e, ph));
  painter.drawPixmap(QRect(e, 0, r.width() - 2 * e, r.height()), picture, QRect(e, 0, pw - 2 * e, ph));
}

void CxSkinButton::paintEvent(QPaintEvent* event) {
  if (!ownerDrawn_) {
    QPushButton::paintEvent(event);
    return;
  }
  QPainter painter(this);
  const Picture choice = ChosenPicture();
  const QPixmap& picture = pictures_[choice];
  if (forcedState != 0) {
    // A pinned picture that is absent leaves the button undrawn.
    if (!picture.isNull()) DrawPicture(painter, picture);
  } else {
    // An automatic choice without its picture shows the button face; the
    // hover and normal cases both depend on the normal picture.
    const bool loaded = (choice == kHover || choice == kNormal) ? !pictures_[kNormal].isNull() : !picture.isNull();
    if (loaded)
      DrawPicture(painter, picture);
    else
      painter.fillRect(rect(), palette().color(QPalette::Button));
  }

  if (!caption.isEmpty()) {
    const QRect textRect = rect().adjusted(2, 0, -2, 0);
    const QFontMetrics fm(font());
    painter.setPen(textColour);
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine,
                     fm.elidedText(caption, Qt::ElideRight, textRect.width()));
    // A cut caption shows whole in the tooltip. A tooltip the button filled
    // from an earlier caption goes once the caption fits (it would show an
    // old text, after a language change one of another language); a tooltip
    // its owner set stays.
    if (fm.horizontalAdvance(caption) > width() - 4) {
      if (toolTipText_ != caption) {
        SetToolTipText(caption);
        toolTipFromCaption_ = true;
      }
    } else if (toolTipFromCaption_ && toolTipText_ != caption) {
      SetToolTipText(QString());
    }
  }
}

bool CxSkinButton::event(QEvent* event) {
  // The platform's tooltip would come after its own delay; ours is timed.
  if (event->type() == QEvent::ToolTip) return true;
  // A modal window over ours: the mouse goes to it, and a blocked window is
  // told nothing of the mouse, its leave included (Qt sends one on blocking
  // only when it knows the mouse is in this window). The hover ends here; a
  // move once the window is free brings it back if the mouse is still over.
  if (event->type() == QEvent::WindowBlocked && over_) EndHover();
  return QPushButton::event(event);
}

void CxSkinButton::enterEvent(QEnterEvent* event) {
  QPushButton::enterEvent(event);
  if (!down_ && !over_) {
    over_ = true;
    update();
  }
  RestartToolTipTimer(event->globalPosition().toPoint());
}

void CxSkinButton::leaveEvent(QEvent* event) {
  QPushButton::leaveEvent(event);
  EndHover();
}

void CxSkinButton::EndHover() {
  over_ = false;
  HideToolTip();
  update();
}

void CxSkinButton::mouseMoveEvent(QMouseEvent* event) {
  if (down_) {
    // The platform's button follows the cursor: pushed while over us.
    const bool wasDown = isDown();
    QPushButton::mouseMoveEvent(event);
    if (wasDown != isDown()) update();
    return;
  }
  QPushButton::mouseMoveEvent(event);
  if (!over_ && rect().contains(event->position().toPoint())) {
    over_ = true;
    update();
  }
  RestartToolTipTimer(event->globalPosition().toPoint());
}

void CxSkinButton::mousePressEvent(QMouseEvent* event) {
  HideToolTip();
  if (event->button() == Qt::LeftButton) {
    over_ = false;
    down_ = true;
  }
  QPushButton::mousePressEvent(event);
}

void CxSkinButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) down_ = false;
  QPushButton::mouseReleaseEvent(event);
  update();
}

void CxSkinButton::focusOutEvent(QFocusEvent* event) {
  if (down_) {
    down_ = false;
    setDown(false);
  }
  QPushButton::focusOutEvent(event);
}

void CxSkinButton::RestartToolTipTimer(const QPoint& globalPos) {
  restPos_ = globalPos;
  if (!toolTipCreated_ || toolTipText_.isEmpty()) return;
  if (QToolTip::isVisible()) return;  // already showing: moving inside keeps it
  toolTipTimer_.start();
}

void CxSkinButton::ShowToolTipNow() {
  if (!toolTipCreated_ || toolTipText_.isEmpty() || !isVisible()) return;
  QToolTip::setFont(font());
  QToolTip::showText(restPos_ + QPoint(2, 18), toolTipText_, this);
}

void CxSkinButton::HideToolTip() {
  toolTipTimer_.stop();
  if (QToolTip::isVisible()) QToolTip::hideText();
}
