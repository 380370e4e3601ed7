// divarod_skingen <folder>: draws the skin files the program loads from
// "Config File/Skin/" (window icon, page logo, help picture) into folder.
// Run by the build; offscreen, so it needs no display.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

#include "tools/skingen/help_picture.h"
#include "tools/skingen/icon_file.h"
#include "ui/framework/skins.h"

namespace {
bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() && f.flush();
}
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: divarod_skingen <output folder>\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "divarod_skingen: cannot create %s\n", argv[1]);
    return 1;
  }
  const QString base = QDir(folder).absolutePath() + "/";
  bool ok = WriteFile(base + "Logo.ico", skingen::IconFile({skins::Emblem(16), skins::Emblem(32), skins::Emblem(48)}));
  ok = skins::Emblem(40).save(base + "Pagelogo.png", "PNG") && ok;
  ok = skingen::HelpPicture().convertToFormat(QImage::Format_RGB888).save(base + "Help.bmp", "BMP") && ok;
  if (!ok) {
    std::fprintf(stderr, "divarod_skingen: could not write the skin files into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
