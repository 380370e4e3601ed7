#include <gtest/gtest.h>

#include <QFontInfo>
#include <set>

#include "ui/framework/colours.h"
#include "ui/framework/skins.h"

namespace {

TEST(Skins, EveryNamedIdHasAPictureOfItsSize) {
  const std::set<int> named = {
      132, 177, 178, 179, 180, 204, 205, 206, 208, 209, 211, 214, 215, 216, 240, 241, 242,  // buttons, tip
      171, 172, 173, 174, 186, 187, 188, 189, 193, 194, 195, 196, 228, 230, 232, 233,        // tool buttons
      175, 176, 184, 185, 201, 202, 236, 237,                                                // menu
      153, 154, 217, 224,                                                                    // tree icons
  };
  EXPECT_EQ(std::set<int>(skins::BitmapIds().begin(), skins::BitmapIds().end()), named);
  for (int id : named) {
    const QImage img = skins::Picture(id);
    ASSERT_FALSE(img.isNull()) << id;
    EXPECT_EQ(img.size(), skins::BitmapSize(id)) << id;
    EXPECT_EQ(skins::Bitmap(id).size(), img.size()) << id;
  }
  EXPECT_EQ(skins::BitmapSize(179), QSize(88, 32));
  EXPECT_EQ(skins::BitmapSize(205), QSize(20, 20));
  EXPECT_EQ(skins::BitmapSize(188), QSize(28, 28));
  EXPECT_EQ(skins::BitmapSize(184), QSize(60, 60));
  EXPECT_EQ(skins::BitmapSize(132), QSize(80, 78));
  EXPECT_EQ(skins::BitmapSize(154), QSize(16, 16));
}

TEST(Skins, UnknownIdIsAFailedLoad) {
  EXPECT_TRUE(skins::Picture(1183).isNull());
  EXPECT_TRUE(skins::Bitmap(1183).isNull());
  EXPECT_TRUE(skins::BitmapSize(0).isEmpty());
}

TEST(Skins, DialogButtonStatesLookAsTheMessageBoxSays) {
  // Normal white with a light border, pressed filled blue, hover white with
  // a blue border, disabled grey.
  const QColor centreNormal = skins::Picture(179).pixelColor(44, 16);
  const QColor centrePressed = skins::Picture(178).pixelColor(44, 16);
  const QColor centreHover = skins::Picture(180).pixelColor(44, 16);
  const QColor centreDisabled = skins::Picture(177).pixelColor(44, 16);
  EXPECT_EQ(centreNormal, QColor(Qt::white));
  EXPECT_EQ(centreHover, QColor(Qt::white));
  EXPECT_GT(centrePressed.blue(), centrePressed.red() + 80);
  EXPECT_LT(std::abs(centreDisabled.red() - centreDisabled.blue()), 12);
  EXPECT_LT(centreDisabled.lightness(), 240);
  const QColor hoverEdge = skins::Picture(180).pixelColor(44, 0);
  const QColor normalEdge = skins::Picture(179).pixelColor(44, 0);
  EXPECT_GT(hoverEdge.blue(), hoverEdge.red() + 80);
  EXPECT_LT(std::abs(normalEdge.red() - normalEdge.blue()), 24);
}

TEST(Skins, CloseCrossIsWhite) {
  const QImage close = skins::Picture(205);
  EXPECT_EQ(close.pixelColor(10, 10), QColor(Qt::white));
  EXPECT_EQ(close.pixelColor(10, 2).alpha(), 0) << "the band shows around the cross";
}

TEST(Skins, TipIconsPerKind) {
  for (int kind : {0x10, 0x20, 0x30, 0x40}) EXPECT_EQ(skins::TipIcon(kind, 32).size(), QSize(32, 32)) << kind;
  EXPECT_TRUE(skins::TipIcon(0x50, 32).isNull());
  const QColor error = skins::TipIcon(0x10, 32).pixelColor(6, 16);
  EXPECT_GT(error.red(), error.blue() + 80);
}

TEST(Skins, MissingFontsFallBackToThePlatformSans) {
  const QString family = skins::FontFamily("Tahoma");
  EXPECT_FALSE(family.isEmpty());
  const QFont f = skins::PixelFont("Tahoma", 34);
  EXPECT_EQ(QFontInfo(f).pixelSize(), 34);
  EXPECT_EQ(skins::PixelFont("Tahoma", 22, 600).weight(), QFont::DemiBold);
}

TEST(Skins, ColourReferencesAreBlueGreenRed) {
  EXPECT_EQ(colours::FromColorRef(0xFFB470), QColor(0x70, 0xB4, 0xFF));
  EXPECT_EQ(colours::ToColorRef(QColor(0x70, 0xB4, 0xFF)), 0xFFB470u);
  EXPECT_EQ(colours::FromColorRef(colours::kBand), QColor(0x31, 0x31, 0x31));
}

}  // namespace
