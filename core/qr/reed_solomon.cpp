#include "core/qr/reed_solomon.h"

#include <array>
#include <cstring>

namespace reedsolomon {
namespace {

constexpr unsigned kPrimitivePolynomial = 0x11D;

struct Field {
  std::array<uint8_t, 512> exp{};  // doubled, so exp[log a + log b] needs no modulo
  std::array<int, 256> log{};
};

constexpr Field MakeField() {
  Field f;
  unsigned x = 1;
  for (int i = 0; i < 255; ++i) {
    f.exp[i] = static_cast<uint8_t>(x);
    f.log[x] = i;
    x <<= 1;
    if (x & 0x100) x ^= kPrimitivePolynomial;
  }
  for (int i = 255; i < 512; ++i) f.exp[i] = f.exp[i - 255];
  return f;
}
constexpr Field kField = MakeField();

constexpr uint8_t Mul(uint8_t a, uint8_t b) {
  return (a == 0 || b == 0) ? 0 : kField.exp[kField.log[a] + kField.log[b]];
}

// Generator coefficients per degree, highest power first without its leading 1:
// kGenerators[n][0..n).
constexpr auto MakeGenerators() {
  std::array<std::array<uint8_t, kMaxDegree>, kMaxDegree + 1> g{};
  for (int n = 1; n <= kMaxDegree; ++n) {
    std::array<uint8_t, kMaxDegree + 1> poly{};  // poly[0] is the x^n coefficient
    poly[0] = 1;
    for (int root = 0; root < n; ++root) {
      const uint8_t r = kField.exp[root];
      // multiply by (x - a^root); minus is plus in GF(2^8)
      for (int i = root + 1; i >= 1; --i) poly[i] = static_cast<uint8_t>(poly[i] ^ Mul(poly[i - 1], r));
    }
    for (int i = 0; i < n; ++i) g[n][i] = poly[i + 1];
  }
  return g;
}
constexpr auto kGenerators = MakeGenerators();

}  // namespace

uint8_t Multiply(uint8_t a, uint8_t b) { return Mul(a, b); }

void ComputeCodewords(const uint8_t* data, int length, int degree, uint8_t* ec) {
  const auto& gen = kGenerators[degree];
  std::memset(ec, 0, static_cast<std::size_t>(degree));
  // Polynomial division by the generator with a shift register.
  for (int i = 0; i < length; ++i) {
    const uint8_t factor = static_cast<uint8_t>(data[i] ^ ec[0]);
    std::memmove(ec, ec + 1, static_cast<std::size_t>(degree - 1));
    ec[degree - 1] = 0;
    if (factor == 0) continue;
    for (int j = 0; j < degree; ++j) ec[j] = static_cast<uint8_t>(ec[j] ^ Mul(gen[j], factor));
  }
}

}  // namespace reedsolomon
