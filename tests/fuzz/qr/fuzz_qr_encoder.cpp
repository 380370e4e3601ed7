// Any bytes and any minimum version must encode safely: the first byte picks
// the minimum (out-of-range values included), the rest is the text.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/qr/qr_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const auto encoder = std::make_unique<QrEncoder>();  // reused: no state may leak between texts
  if (size == 0) return 0;
  const int minimum = static_cast<int>(data[0] % 48) - 2;  // -2 .. 45
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  int version = minimum;
  if (!encoder->EncodeData(text.c_str(), version)) {
    if (version != minimum) std::abort();  // a failure leaves the caller's version alone
    return 0;
  }
  const int size_modules = encoder->SymbolSize();
  if (version < 1 || version > 40 || version < minimum || size_modules != 4 * version + 17) std::abort();
  for (int x = 0; x < QrEncoder::kMaxModules; ++x)
    for (int y = 0; y < QrEncoder::kMaxModules; ++y) {
      const uint8_t m = encoder->Matrix()[x][y];
      if (m > 1 || (m != 0 && (x >= size_modules || y >= size_modules))) std::abort();
    }
  return 0;
}
