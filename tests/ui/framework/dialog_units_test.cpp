#include <gtest/gtest.h>

#include <QFontMetrics>

#include "ui/framework/dialog_units.h"

namespace {

TEST(DialogUnits, QuarterCharacterAcrossEighthDown) {
  const dialog_units::BaseUnits base{7, 15};
  const struct {
    QRect du;
    QRect px;
  } cases[] = {
      {{0, 0, 4, 8}, {0, 0, 7, 15}},
      {{79, 86, 46, 15}, {138, 161, 81, 28}},     // 79*7/4=138.25, 86*15/8=161.25, 46*7/4=80.5, 15*15/8=28.1
      {{0, 0, 195, 105}, {0, 0, 341, 197}},       // 341.25, 196.9
      {{2, 1, 1, 1}, {4, 2, 2, 2}},               // 3.5 rounds up, 1.875 rounds to 2
  };
  for (const auto& c : cases) EXPECT_EQ(dialog_units::ToPixels(c.du, base), c.px) << c.du.x() << "," << c.du.y();
}

TEST(DialogUnits, BaseUnitsFollowTheFont) {
  const QFont small = dialog_units::TemplateFont("MS Shell Dlg", 8);
  const QFont large = dialog_units::TemplateFont("MS Shell Dlg", 14);
  const auto a = dialog_units::ForFont(small);
  const auto b = dialog_units::ForFont(large);
  EXPECT_GT(a.x, 0);
  EXPECT_EQ(a.y, QFontMetrics(small).height());
  EXPECT_GT(b.x, a.x);
  EXPECT_GT(b.y, a.y);
}

}  // namespace
