#pragma once
// Reed-Solomon error-correction codewords over GF(256) as QR codes use them:
// primitive polynomial x^8 + x^4 + x^3 + x^2 + 1, generator polynomials
// (x - a^0)(x - a^1)...(x - a^(n-1)).
#include <cstdint>

namespace reedsolomon {

inline constexpr int kMaxDegree = 30;

// Writes the `degree` error-correction codewords of data[0..length) to ec.
// degree is 1..kMaxDegree.
void ComputeCodewords(const uint8_t* data, int length, int degree, uint8_t* ec);

// Product in GF(256); exposed for the tests of the field.
uint8_t Multiply(uint8_t a, uint8_t b);

}  // namespace reedsolomon
