#pragma once
// Where a text stands in its control: the first and last column, in the
// control's coordinates, that holds dark ink, as the control's parent draws
// it (a transparent static takes its parent's background).

#include <QColor>
#include <QImage>
#include <QWidget>

struct InkSpan {
  int left = -1;   // -1 left and right: no ink
  int right = -1;
};

inline InkSpan InkOf(QWidget& control) {
  const QImage shot = control.parentWidget()->grab(control.geometry()).toImage();
  InkSpan span;
  for (int x = 0; x < shot.width(); ++x)
    for (int y = 0; y < shot.height(); ++y)
      if (QColor(shot.pixel(x, y)).lightness() < 128) {
        if (span.left < 0) span.left = x;
        span.right = x;
        break;
      }
  return span;
}
