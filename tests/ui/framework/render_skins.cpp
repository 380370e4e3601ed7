// Draws every skin picture on one sheet, each on the band colour and on
// white, with the message-box icons and the emblem below, to a PNG file for a
// person to look at: render_skins <folder>.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "ui/framework/colours.h"
#include "ui/framework/skins.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "render_skins: cannot make %s\n", qPrintable(folder));
    return 1;
  }
  QImage sheet(14 * 100, 2 * 4 * 100, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  QPainter p(&sheet);
  int i = 0;
  for (int id : skins::BitmapIds()) {
    const int x = (i % 14) * 100, y = (i / 14) * 200;
    p.fillRect(QRect(x, y, 100, 100), colours::FromColorRef(colours::kBand));
    const QImage img = skins::Picture(id);
    p.drawImage(x + 50 - img.width() / 2, y + 50 - img.height() / 2, img);
    p.drawImage(x + 50 - img.width() / 2, y + 150 - img.height() / 2, img);
    p.setPen(Qt::red);
    p.drawText(x + 2, y + 112, QString::number(id));
    ++i;
  }
  for (int k = 0; k < 4; ++k) p.drawImage(20 + k * 50, 700, skins::TipIcon(0x10 * (k + 1), 32));
  p.drawImage(300, 690, skins::Emblem(48));
  p.end();
  const QString path = folder + "/skins_sheet.png";
  if (!sheet.save(path)) {
    std::fprintf(stderr, "render_skins: cannot write %s\n", qPrintable(path));
    return 1;
  }
  std::printf("%s\n", qPrintable(path));
  return 0;
}
