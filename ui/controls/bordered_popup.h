#pragma once
// The message box and the channel editor are frameless popups of one make: a
// 1-pixel dark border around a client area with a dark band on top (which
// drags the popup) over a white body, the box with a light button band of the
// same height at the bottom. These helpers frame and paint them.

#include <QWidget>

class QDialog;
class QFont;
class QLabel;

namespace bordered_popup {

// The client area inside the border. bandRows: height of the dark band, and
// of the light button band where buttonBand is set.
class ClientArea : public QWidget {
 public:
  ClientArea(QWidget* popup, int bandRows, bool buttonBand);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int bandRows_;
  bool buttonBand_;
};

// Frames popup: kept when closed, in the template's font, the dark border as
// its background, and dragged by the band below the border.
void FramePopup(QDialog& popup, const QFont& templateFont, int bandRows);

// The title on the band: white, left-aligned and centred in height; a press
// on it goes to the band, so it drags the popup too.
void StyleTitle(QLabel& title);

}  // namespace bordered_popup
