#pragma once
// Small helpers of the control tests: grabbing a widget into an image and,
// when DIVAROD_RENDER_DIR is set, keeping the picture for a person to look at.

#include <QColor>
#include <QImage>
#include <QString>

class QWidget;

QImage Grab(QWidget& widget);
void KeepPicture(const QImage& image, const QString& name);
QColor PixelAt(const QImage& image, int x, int y);
// A picture of one colour, for telling which picture a control drew.
QImage SolidPicture(int width, int height, const QColor& colour);
