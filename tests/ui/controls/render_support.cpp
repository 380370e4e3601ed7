#include "tests/ui/controls/render_support.h"

#include <QDir>
#include <QWidget>

QImage Grab(QWidget& widget) { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); }

void KeepPicture(const QImage& image, const QString& name) {
  const QByteArray dir = qgetenv("DIVAROD_RENDER_DIR");
  if (dir.isEmpty()) return;
  QDir().mkpath(QString::fromLocal8Bit(dir));
  image.save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
}

QColor PixelAt(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)); }

QImage SolidPicture(int width, int height, const QColor& colour) {
  QImage img(width, height, QImage::Format_RGB32);
  img.fill(colour);
  return img;
}
