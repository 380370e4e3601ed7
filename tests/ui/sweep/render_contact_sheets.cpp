// Writes a picture of every window in every language and, per window, a
// contact sheet of its 26 pictures, plus cut-texts.txt: every text that is
// wider or taller than its control. Run by scripts/contact-sheets:
//   render_contact_sheets <folder> [window-name ...]
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTextStream>
#include <cstdio>
#include <map>

#include "core/language/language.h"
#include "tests/ui/sweep/shown_texts.h"
#include "tests/ui/sweep/window_catalogue.h"

namespace {

constexpr int kColumns = 6;
constexpr int kTileWidth = 420;
constexpr int kCaption = 22;

QImage ContactSheet(const QString& window, const std::vector<QImage>& pictures) {
  int tileHeight = 0;
  for (const QImage& p : pictures)
    if (!p.isNull()) tileHeight = std::max(tileHeight, p.height() * kTileWidth / std::max(1, p.width()));
  const int rows = (static_cast<int>(pictures.size()) + kColumns - 1) / kColumns;
  QImage sheet(kColumns * (kTileWidth + 8) + 8, kCaption + rows * (tileHeight + kCaption + 8) + 8,
               QImage::Format_RGB32);
  sheet.fill(QColor(0xE8, 0xE8, 0xE8));
  QPainter painter(&sheet);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawText(QRect(8, 0, sheet.width() - 16, kCaption), Qt::AlignVCenter, window);
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    const int x = 8 + static_cast<int>(i) % kColumns * (kTileWidth + 8);
    const int y = kCaption + static_cast<int>(i) / kColumns * (tileHeight + kCaption + 8);
    const LanguageEntry& language = LanguageTable[i];
    painter.drawText(QRect(x, y, kTileWidth, kCaption), Qt::AlignVCenter,
                     QString("%1  %2").arg(language.fileName, language.displayName));
    if (!pictures[i].isNull())
      painter.drawImage(QRect(x, y + kCaption, kTileWidth, pictures[i].height() * kTileWidth / pictures[i].width()),
                        pictures[i]);
  }
  return sheet;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("DIVAROD_DISCOVERY_TARGETS", "none");
  QApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath() + "/contact-sheets";
  QStringList only;
  for (int i = 2; i < argc; ++i) only << QString::fromLocal8Bit(argv[i]);
  QDir().mkpath(folder + "/windows");

  QFile reportFile(folder + "/cut-texts.txt");
  if (!reportFile.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) return 1;
  QTextStream report(&reportFile);
  report << "# window\tlanguage\tcontrol\twidth\tneeded\ttext\n";
  int cutCount = 0;

  std::map<QString, std::vector<QImage>> pictures;
  SweepStage stage;
  for (int language = 0; language < kLanguageCount; ++language) {
    stage.SwitchLanguage(language);
    const QString code = LanguageTable[static_cast<std::size_t>(language)].fileName.section('.', 0, 0);
    QSet<QString> texts;
    for (const QString& text : ReadLanguageFile(stage.LanguageFile(language))) texts.insert(text);
    for (const SweepWindow& window : SweepWindows()) {
      if (!only.isEmpty() && !only.contains(window.name)) continue;
      window.open(stage.Main(), [&](QWidget& shown) {
        const QImage picture = shown.grab().toImage();
        if (picture.isNull()) std::printf("%s in %s: an empty window\n", qPrintable(window.name), qPrintable(code));
        picture.save(QString("%1/windows/%2-%3.png").arg(folder, window.name, code));
        pictures[window.name].push_back(picture);
        for (const ShownText& t : ShownTexts(shown)) {
          // A list's cells hold device data too; only the program's own texts count.
          if (!t.cut || (t.item && !texts.contains(t.text))) continue;
          ++cutCount;
          report << window.name << '\t' << code << '\t' << t.where << '\t' << t.room << '\t' << t.needed << '\t'
                 << QString(t.text).replace('\n', "\\n") << '\n';
        }
      });
    }
  }
  for (const auto& [name, shots] : pictures) {
    const QString path = folder + "/" + name + ".png";
    ContactSheet(name, shots).save(path);
    std::printf("%s\n", qPrintable(path));
  }
  std::printf("%d cut texts: %s\n", cutCount, qPrintable(reportFile.fileName()));
  return 0;
}
