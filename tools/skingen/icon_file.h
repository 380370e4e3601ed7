#pragma once
// Windows icon files (.ico) with 32-bit entries: an alpha channel plus the
// 1-bit mask older readers use.

#include <QByteArray>
#include <QImage>
#include <vector>

namespace skingen {

// One .ico holding every image (each at most 256 x 256), in the given order.
QByteArray IconFile(const std::vector<QImage>& images);

}  // namespace skingen
