#include "tests/unit/qr/zbar_judge.h"

#include <zbar.h>

using namespace zbar;  // the C API lives in this namespace when compiled as C++

#include "core/qr/qr_encoder.h"

GreyImage RenderSymbol(const QrEncoder& encoder, int scale, int quiet) {
  const int modules = encoder.SymbolSize() + 2 * quiet;
  GreyImage image;
  image.width = image.height = modules * scale;
  image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, 255);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (encoder.IsDark(x / scale - quiet, y / scale - quiet)) image.pixels[static_cast<std::size_t>(y) * image.width + x] = 0;
  return image;
}

GreyImage Enlarge(const GreyImage& source, int scale) {
  GreyImage image;
  image.width = source.width * scale;
  image.height = source.height * scale;
  image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      image.pixels[static_cast<std::size_t>(y) * image.width + x] =
          source.pixels[static_cast<std::size_t>(y / scale) * source.width + x / scale];
  return image;
}

ZbarJudge::ZbarJudge() {
  auto* scanner = zbar_image_scanner_create();
  zbar_image_scanner_set_config(scanner, ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
  zbar_image_scanner_set_config(scanner, ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
  // Hand back the stored bytes, not a guess at their character set.
  zbar_image_scanner_set_config(scanner, ZBAR_QRCODE, ZBAR_CFG_BINARY, 1);
  scanner_ = scanner;
}

ZbarJudge::~ZbarJudge() { zbar_image_scanner_destroy(static_cast<zbar_image_scanner_t*>(scanner_)); }

std::optional<std::string> ZbarJudge::Decode(const GreyImage& grey) {
  auto* scanner = static_cast<zbar_image_scanner_t*>(scanner_);
  zbar_image_t* image = zbar_image_create();
  zbar_image_set_format(image, zbar_fourcc('Y', '8', '0', '0'));
  zbar_image_set_size(image, static_cast<unsigned>(grey.width), static_cast<unsigned>(grey.height));
  zbar_image_set_data(image, grey.pixels.data(), grey.pixels.size(), nullptr);
  std::optional<std::string> result;
  if (zbar_scan_image(scanner, image) == 1) {
    const zbar_symbol_t* symbol = zbar_image_first_symbol(image);
    if (symbol && zbar_symbol_get_type(symbol) == ZBAR_QRCODE)
      result.emplace(zbar_symbol_get_data(symbol), zbar_symbol_get_data_length(symbol));
  }
  zbar_image_destroy(image);
  return result;
}

namespace {

// Distance to the nearest valid format code word (BCH(15,5), masked).
unsigned NearestFormat(uint32_t word, unsigned& data) {
  unsigned best = 99;
  for (unsigned d = 0; d < 32; ++d) {
    const unsigned distance = static_cast<unsigned>(__builtin_popcount(word ^ qrtables::FormatInformation(d >> 3, d & 7)));
    if (distance < best) {
      best = distance;
      data = d;
    }
  }
  return best;
}

}  // namespace

FormatReading ReadFormatInformation(const QrEncoder& encoder) {
  const int size = encoder.SymbolSize();
  auto at = [&](int x, int y) { return encoder.IsDark(x, y) ? 1u : 0u; };
  uint32_t first = 0;
  uint32_t second = 0;
  // Bit i (least significant first) of each copy, as the standard places it.
  for (int i = 0; i <= 5; ++i) first |= at(8, i) << i;
  first |= at(8, 7) << 6 | at(8, 8) << 7 | at(7, 8) << 8;
  for (int i = 9; i < 15; ++i) first |= at(14 - i, 8) << i;
  for (int i = 0; i < 8; ++i) second |= at(size - 1 - i, 8) << i;
  for (int i = 8; i < 15; ++i) second |= at(8, size - 15 + i) << i;

  FormatReading reading;
  unsigned data1 = 0;
  unsigned data2 = 0;
  if (first != second || NearestFormat(first, data1) != 0 || NearestFormat(second, data2) != 0) return reading;
  reading.valid = encoder.IsDark(8, size - 8);  // the dark module belongs with it
  reading.levelBits = data1 >> 3;
  reading.mask = data1 & 7;
  return reading;
}
