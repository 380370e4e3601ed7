#pragma once
// The small frameless dialogs (login, network change, model name) share one
// frame: a template in dialog units of "MS Shell Dlg" 8, a 40-row dark band
// on top that drags the window, a white body, a light button panel at the
// bottom and a 1-pixel grey border. These helpers lay out and paint it.

#include <QRect>
#include <initializer_list>

#include "ui/framework/dialog_units.h"

class QLabel;
class QWidget;

namespace banded_dialog {

// Rows of the dark band at the top.
inline constexpr int kBandRows = 40;

// A template rectangle (dialog units of "MS Shell Dlg" 8) in pixels.
inline QRect TemplateRect(int x, int y, int w, int h) { return dialog_units::ShellDlgRect(x, y, w, h); }

// A control, its template id (its object name) and its template rectangle.
struct Placement {
  QWidget* widget;
  int id;
  QRect dialogUnits;
};

// Names each control by its template id and places it from its rectangle.
void PlaceControls(std::initializer_list<Placement> placements);

// The title on the dark band is written in white.
void MakeTitleWhite(QLabel& title);

// Paints the frame of `dialog`: white body, dark band, the light panel from
// panelTop to the bottom edge, and the border.
void PaintFrame(QWidget& dialog, int panelTop);

}  // namespace banded_dialog
