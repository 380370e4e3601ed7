#pragma once
// Dialog templates give positions and sizes in dialog units: a quarter of the
// font's average character width across, an eighth of its height down. One
// helper turns them into pixels for the template's font, so a window laid out
// from its template keeps the proportions the template meant.

#include <QFont>
#include <QRect>

namespace dialog_units {

struct BaseUnits {
  int x = 0;  // average character width in pixels
  int y = 0;  // character height in pixels
};

// The base units of a font: average width of the 52 Latin letters (rounded
// the way the platform does it) and the font's line height.
BaseUnits ForFont(const QFont& font);

// The font a template names, e.g. ("MS Shell Dlg", 9): the family itself
// when installed, otherwise the platform's sans-serif font, at that size.
QFont TemplateFont(const QString& family, int pointSize);

int ToPixelsX(int dialogUnits, const BaseUnits& base);
int ToPixelsY(int dialogUnits, const BaseUnits& base);

// A template rectangle (x, y, width, height in dialog units) in pixels.
QRect ToPixels(const QRect& dialogUnits, const BaseUnits& base);

// A rectangle of a template in "MS Shell Dlg" 8, the font of most of the
// program's templates, in pixels.
QRect ShellDlgRect(int x, int y, int w, int h);

}  // namespace dialog_units
