#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>
#include <set>

#include "tools/skingen/help_picture.h"
#include "tools/skingen/icon_file.h"
#include "ui/framework/colours.h"
#include "ui/framework/skins.h"

namespace {

QString SkinFolder() { return QCoreApplication::applicationDirPath() + "/Config File/Skin/"; }

TEST(SkinFiles, TheBuildPutsAllThreeBesideTheExecutables) {
  for (const char* name : {"Logo.ico", "Pagelogo.png", "Help.bmp"})
    EXPECT_TRUE(QFileInfo(SkinFolder() + name).isFile()) << name;
}

TEST(SkinFiles, HelpPictureIsTheSizeTheHelpPageShowsAndHasContent) {
  QImageReader reader(SkinFolder() + "Help.bmp");
  EXPECT_EQ(reader.format(), "bmp");
  const QImage img = reader.read();
  ASSERT_FALSE(img.isNull()) << reader.errorString().toStdString();
  EXPECT_EQ(img.size(), QSize(640, 528));
  // The dark title band of the miniature and many other colours.
  std::set<QRgb> colours;
  bool band = false;
  for (int y = 0; y < img.height(); y += 3)
    for (int x = 0; x < img.width(); x += 3) {
      colours.insert(img.pixel(x, y));
      band = band || QColor(img.pixel(x, y)) == colours::FromColorRef(colours::kBand);
    }
  EXPECT_TRUE(band);
  EXPECT_GT(colours.size(), 50u);
  if (const QByteArray dir = qgetenv("DIVAROD_RENDER_DIR"); !dir.isEmpty())
    img.save(QString::fromLocal8Bit(dir) + "/help_picture.png");
}

TEST(SkinFiles, PageLogoIsAPng) {
  QImageReader reader(SkinFolder() + "Pagelogo.png");
  EXPECT_EQ(reader.format(), "png");
  const QImage img = reader.read();
  EXPECT_EQ(img.size(), QSize(40, 40));
}

TEST(SkinFiles, IconFileHoldsEverySizeWithItsPixels) {
  const std::vector<QImage> images{skins::Emblem(16), skins::Emblem(32), skins::Emblem(48)};
  QByteArray bytes = skingen::IconFile(images);
  // Header: reserved 0, type 1, three entries.
  ASSERT_GE(bytes.size(), 6 + 3 * 16);
  EXPECT_EQ(bytes[2], 1);
  EXPECT_EQ(bytes[4], 3);
  QBuffer buffer(&bytes);
  QImageReader reader(&buffer, "ico");
  if (!reader.canRead()) GTEST_SKIP() << "no icon reader in this Qt";
  EXPECT_EQ(reader.imageCount(), 3);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(reader.jumpToImage(i));
    const QImage read = reader.read().convertToFormat(QImage::Format_ARGB32);
    const QImage want = images[i].convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(read.size(), want.size());
    EXPECT_EQ(read, want) << "entry " << i;
  }
  // The built file is the same bytes.
  QFile built(SkinFolder() + "Logo.ico");
  ASSERT_TRUE(built.open(QIODevice::ReadOnly));
  EXPECT_EQ(built.readAll(), skingen::IconFile(images));
}

}  // namespace
