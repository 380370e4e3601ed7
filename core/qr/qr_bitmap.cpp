#include "core/qr/qr_bitmap.h"

#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "core/qr/qr_encoder.h"

namespace {

constexpr int kQuietZone = 5;
constexpr int kHeaderBytes = 14 + 40;
constexpr uint16_t kDarkPixel = 0x0821;  // red 2, green 1, blue 1 of 31
constexpr uint16_t kLightPixel = 0xFFFF;

void Put16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}
void Put32(uint8_t* at, uint32_t value) {
  Put16(at, value & 0xFFFF);
  Put16(at + 2, value >> 16);
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::string MakeQrTempPath(const std::string& folder) { return folder + "/QR_temp1.bmp"; }

bool MakeQrBitmap(const std::string& text, std::string& path, const std::string& folder) {
  path = MakeQrTempPath(folder);
  int version = kQrDisplayVersion;
  int width = kQrDisplayPixels;
  int height = kQrDisplayPixels;
  WriteQrBitmap(text, path, version, width, height);  // a failure leaves the previous picture
  path = MakeQrTempPath(folder);
  return true;
}

int WriteQrBitmap(const std::string& text, const std::string& path, int& version, int& width, int& height) {
  if (text.empty() || path.empty()) return kQrBitmapNotWritten;

  auto encoder = std::make_unique<QrEncoder>();  // about 100 KB of fixed buffers: keep them off the stack
  const int wanted = version;
  if (!encoder->EncodeData(text.c_str(), version)) {
    std::printf("QR code: the text (%zu bytes) cannot be encoded at level Q; no bitmap written\n", text.size());
    return kQrBitmapNotWritten;
  }
  if (version != wanted) {
    // Same pixels per module on the larger symbol.
    width = width / qrtables::SymbolSize(wanted) * qrtables::SymbolSize(version);
    height = height / qrtables::SymbolSize(wanted) * qrtables::SymbolSize(version);
  }

  const int modules = encoder->SymbolSize();
  const int moduleWidth = width / modules;
  const int moduleHeight = height / modules;
  if (moduleWidth <= 0 || moduleHeight <= 0) return kQrBitmapNotWritten;  // a picture without modules

  // Rows of 16-bit pixels stay a multiple of 4 bytes with an even pixel count.
  const int64_t rowPixels = (static_cast<int64_t>(width) + 11) & ~int64_t{1};
  const int64_t rows = static_cast<int64_t>(height) + 2 * kQuietZone;
  const int64_t pixelBytes = rows * rowPixels * 2;
  if (pixelBytes > std::numeric_limits<int32_t>::max() - kHeaderBytes) return kQrBitmapNotWritten;

  uint8_t header[kHeaderBytes] = {};
  header[0] = 'B';
  header[1] = 'M';
  Put32(header + 2, static_cast<uint32_t>(kHeaderBytes + pixelBytes));  // file size
  Put32(header + 10, kHeaderBytes);                                     // offset of the pixels
  Put32(header + 14, 40);                                               // information header size
  Put32(header + 18, static_cast<uint32_t>(rowPixels));
  Put32(header + 22, static_cast<uint32_t>(rows));  // positive: bottom-up
  Put16(header + 26, 1);                            // planes
  Put16(header + 28, 16);                           // bits per pixel, 5-5-5
  Put32(header + 34, static_cast<uint32_t>(pixelBytes));

  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return kQrBitmapNotWritten;
  if (std::fwrite(header, 1, 14, file.get()) != 14) return kQrBitmapNotWritten;
  if (std::fwrite(header + 14, 1, 40, file.get()) != 40) return kQrBitmapNotWritten;

  std::vector<uint8_t> pixels;
  try {
    pixels.assign(static_cast<std::size_t>(pixelBytes), 0xFF);  // all light
  } catch (const std::bad_alloc&) {
    return kQrBitmapNotWritten;  // the file keeps only its headers
  }
  for (int64_t y = kQuietZone; y < int64_t{height} + kQuietZone; ++y) {
    uint8_t* row = pixels.data() + (rows - 1 - y) * rowPixels * 2;  // stored bottom-up
    const int moduleY = static_cast<int>((y - kQuietZone) / moduleHeight);
    for (int64_t x = kQuietZone; x <= rowPixels - 6; ++x) {
      const int moduleX = static_cast<int>((x - kQuietZone) / moduleWidth);
      const bool dark = moduleX < modules && moduleY < modules && encoder->IsDark(moduleX, moduleY);
      Put16(row + x * 2, dark ? kDarkPixel : kLightPixel);
    }
  }
  std::fwrite(pixels.data(), 1, pixels.size(), file.get());
  return kQrBitmapWritten;
}
