#include "tools/skingen/icon_file.h"

#include <QtEndian>

namespace skingen {
namespace {

void PutU8(QByteArray& out, quint8 v) { out.append(static_cast<char>(v)); }
void PutU16(QByteArray& out, quint16 v) {
  PutU8(out, v & 0xFF);
  PutU8(out, v >> 8);
}
void PutU32(QByteArray& out, quint32 v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

// BITMAPINFOHEADER, colour rows (BGRA, bottom-up), then the AND mask.
QByteArray EntryData(const QImage& source) {
  const QImage img = source.convertToFormat(QImage::Format_ARGB32);
  const int w = img.width(), h = img.height();
  const int maskStride = ((w + 31) / 32) * 4;
  QByteArray out;
  PutU32(out, 40);
  PutU32(out, static_cast<quint32>(w));
  PutU32(out, static_cast<quint32>(h * 2));  // colour and mask halves
  PutU16(out, 1);
  PutU16(out, 32);
  PutU32(out, 0);
  PutU32(out, static_cast<quint32>(w * h * 4 + maskStride * h));
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, 0);
  for (int y = h - 1; y >= 0; --y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      PutU8(out, qBlue(line[x]));
      PutU8(out, qGreen(line[x]));
      PutU8(out, qRed(line[x]));
      PutU8(out, qAlpha(line[x]));
    }
  }
  for (int y = h - 1; y >= 0; --y) {
    QByteArray row(maskStride, '\0');
    const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < w; ++x)
      if (qAlpha(line[x]) == 0) row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
    out.append(row);
  }
  return out;
}

}  // namespace

QByteArray IconFile(const std::vector<QImage>& images) {
  QByteArray out;
  PutU16(out, 0);
  PutU16(out, 1);  // icon
  PutU16(out, static_cast<quint16>(images.size()));
  std::vector<QByteArray> entries;
  for (const QImage& img : images) entries.push_back(EntryData(img));
  quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const int w = images[i].width(), h = images[i].height();
    PutU8(out, w >= 256 ? 0 : static_cast<quint8>(w));
    PutU8(out, h >= 256 ? 0 : static_cast<quint8>(h));
    PutU8(out, 0);
    PutU8(out, 0);
    PutU16(out, 1);
    PutU16(out, 32);
    PutU32(out, static_cast<quint32>(entries[i].size()));
    PutU32(out, offset);
    offset += static_cast<quint32>(entries[i].size());
  }
  for (const QByteArray& e : entries) out.append(e);
  return out;
}

}  // namespace skingen
