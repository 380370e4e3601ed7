#include "ui/framework/title_band.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <QWindow>

namespace titleband {
namespace {
constexpr const char* kSavedGeometry = "divarod.restoreGeometry";
}

TitleBand::TitleBand(QWidget* window, int bandRows) : QObject(window), window_(window), bandRows_(bandRows) {
  window_->installEventFilter(this);
}

bool TitleBand::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* e = static_cast<QMouseEvent*>(event);
      if (e->button() != Qt::LeftButton) return false;
      const QPoint client = window_->mapFromGlobal(e->globalPosition().toPoint());
      if (!InBand(client.y())) return false;
      // The platform moves the window where it can; elsewhere (offscreen,
      // some X11 setups) the band follows the mouse itself.
      QWindow* handle = window_->windowHandle();
      if (handle && handle->startSystemMove()) return false;
      dragging_ = true;
      grabOffset_ = e->globalPosition().toPoint() - window_->frameGeometry().topLeft();
      return false;
    }
    case QEvent::MouseMove: {
      if (!dragging_) return false;
      auto* e = static_cast<QMouseEvent*>(event);
      if (!(e->buttons() & Qt::LeftButton)) {
        dragging_ = false;
        return false;
      }
      window_->move(e->globalPosition().toPoint() - grabOffset_);
      return true;
    }
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) dragging_ = false;
      return false;
    case QEvent::MouseButtonDblClick: {
      auto* e = static_cast<QMouseEvent*>(event);
      if (e->button() != Qt::LeftButton || !doubleClick_) return false;
      const QPoint client = window_->mapFromGlobal(e->globalPosition().toPoint());
      if (!InBand(client.y())) return false;
      dragging_ = false;
      doubleClick_();
      return false;
    }
    default:
      return false;
  }
}

bool ToggleMaximiseToWorkArea(QWidget* window) {
  if (!window) return false;
  const QVariant saved = window->property(kSavedGeometry);
  if (saved.isValid()) {
    window->setGeometry(saved.toRect());
    window->setProperty(kSavedGeometry, QVariant());
    return true;
  }
  QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return false;
  window->setProperty(kSavedGeometry, window->geometry());
  window->setGeometry(screen->availableGeometry());
  return true;
}

bool IsMaximisedToWorkArea(const QWidget* window) { return window && window->property(kSavedGeometry).isValid(); }

}  // namespace titleband
