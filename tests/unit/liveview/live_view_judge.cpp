#include "live_view_judge.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "tests/unit/qr/zbar_judge.h"

namespace liveviewtest {

std::optional<std::string> ReadPictureCode(const QImage& picture) {
  const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
  GreyImage image;
  image.width = grey.width();
  image.height = grey.height();
  image.pixels.reserve(static_cast<std::size_t>(image.width) * image.height);
  for (int y = 0; y < grey.height(); ++y) {
    const uchar* row = grey.constScanLine(y);
    image.pixels.insert(image.pixels.end(), row, row + grey.width());
  }
  ZbarJudge judge;
  return judge.Decode(image);
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return true;
}

bool IsBlank(const QImage& picture) {
  const QImage p = picture.convertToFormat(QImage::Format_RGB32);
  if (p.isNull()) return true;
  const QRgb first = p.pixel(0, 0);
  for (int y = 0; y < p.height(); ++y)
    for (int x = 0; x < p.width(); ++x)
      if (p.pixel(x, y) != first) return false;
  return true;
}

}  // namespace liveviewtest
