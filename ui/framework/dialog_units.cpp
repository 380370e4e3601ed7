#include "ui/framework/dialog_units.h"

#include <QFontMetrics>
#include <QString>

#include "ui/framework/skins.h"

namespace dialog_units {
namespace {
// Multiplies and divides with rounding to nearest, as templates are scaled.
int MulDivRound(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator : -((-product + half) / denominator));
}
}  // namespace

BaseUnits ForFont(const QFont& font) {
  const QFontMetrics fm(font);
  static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const int total = fm.horizontalAdvance(letters);
  return BaseUnits{(total / 26 + 1) / 2, fm.height()};
}

QFont TemplateFont(const QString& family, int pointSize) { return skins::PointFont(family, pointSize); }

int ToPixelsX(int dialogUnits, const BaseUnits& base) { return MulDivRound(dialogUnits, base.x, 4); }
int ToPixelsY(int dialogUnits, const BaseUnits& base) { return MulDivRound(dialogUnits, base.y, 8); }

QRect ToPixels(const QRect& du, const BaseUnits& base) {
  return QRect(ToPixelsX(du.x(), base), ToPixelsY(du.y(), base), ToPixelsX(du.width(), base),
               ToPixelsY(du.height(), base));
}

QRect ShellDlgRect(int x, int y, int w, int h) {
  static const BaseUnits base = ForFont(TemplateFont("MS Shell Dlg", 8));
  return ToPixels(QRect(x, y, w, h), base);
}

}  // namespace dialog_units
