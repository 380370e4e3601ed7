// The module matrix: function patterns, the codeword zigzag, mask pattern 0
// and the format and version information.
#include <cstring>

#include "core/qr/qr_encoder.h"

void QrEncoder::SetFunction(int x, int y, bool dark) {
  modules_[x][y] = dark ? 1 : 0;
  isFunction_[x][y] = 1;
}

void QrEncoder::BuildMatrix() {
  std::memset(modules_, 0, sizeof modules_);
  std::memset(isFunction_, 0, sizeof isFunction_);
  PlaceFunctionPatterns();
  PlaceCodewords();
  ApplyMask();
  PlaceFormatInformation();
}

// Finder pattern with its light separator; parts outside the symbol are skipped.
void QrEncoder::PlaceFinder(int left, int top) {
  for (int dy = -1; dy <= 7; ++dy) {
    for (int dx = -1; dx <= 7; ++dx) {
      const int x = left + dx;
      const int y = top + dy;
      if (x < 0 || y < 0 || x >= size_ || y >= size_) continue;
      // Rings by distance from the centre: 3 x 3 core and ring 3 dark, ring 2
      // and the separator (4) light.
      const int ax = dx > 3 ? dx - 3 : 3 - dx;
      const int ay = dy > 3 ? dy - 3 : 3 - dy;
      const int ring = ax > ay ? ax : ay;
      SetFunction(x, y, ring != 2 && ring != 4);
    }
  }
}

void QrEncoder::PlaceAlignment(int centreX, int centreY) {
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) {
      const int distance = (dx < 0 ? -dx : dx) > (dy < 0 ? -dy : dy) ? (dx < 0 ? -dx : dx) : (dy < 0 ? -dy : dy);
      SetFunction(centreX + dx, centreY + dy, distance != 1);
    }
}

void QrEncoder::PlaceFunctionPatterns() {
  // Timing patterns first; the finders and alignments overwrite their ends.
  for (int i = 0; i < size_; ++i) {
    SetFunction(6, i, i % 2 == 0);
    SetFunction(i, 6, i % 2 == 0);
  }
  PlaceFinder(0, 0);
  PlaceFinder(size_ - 7, 0);
  PlaceFinder(0, size_ - 7);

  const auto& centres = qrtables::kAlignmentPositions[version_ - 1];
  int count = 0;
  while (count < qrtables::kMaxAlignmentPositions && centres[count] != 0) ++count;
  for (int i = 0; i < count; ++i)
    for (int j = 0; j < count; ++j) {
      const bool onFinder = (i == 0 && j == 0) || (i == 0 && j == count - 1) || (i == count - 1 && j == 0);
      if (!onFinder) PlaceAlignment(centres[i], centres[j]);
    }

  // Reserve the format-information areas (written after masking) and the dark module.
  for (int i = 0; i <= 8; ++i) {
    if (i != 6) {
      SetFunction(8, i, false);
      SetFunction(i, 8, false);
    }
  }
  for (int i = 0; i < 8; ++i) {
    SetFunction(size_ - 1 - i, 8, false);
    SetFunction(8, size_ - 1 - i, false);
  }
  SetFunction(8, size_ - 8, true);

  PlaceVersionInformation();
}

// Two copies of the 18 bits from version 7 on: 6 x 3 above the bottom-left
// finder and 3 x 6 left of the top-right one.
void QrEncoder::PlaceVersionInformation() {
  if (version_ < qrtables::kFirstVersionWithInfo) return;
  const uint32_t bits = qrtables::kVersionInfo[version_ - qrtables::kFirstVersionWithInfo];
  for (int i = 0; i < 18; ++i) {
    const bool dark = (bits >> i) & 1u;
    const int a = size_ - 11 + i % 3;
    const int b = i / 3;
    SetFunction(a, b, dark);
    SetFunction(b, a, dark);
  }
}

// Level Q with mask 0, two copies; bit 0 is the least significant.
void QrEncoder::PlaceFormatInformation() {
  const uint32_t bits = qrtables::FormatInformation(ecLevelBits_, static_cast<unsigned>(maskPattern_));
  auto bit = [bits](int i) { return ((bits >> i) & 1u) != 0; };
  // Around the top-left finder.
  for (int i = 0; i <= 5; ++i) SetFunction(8, i, bit(i));
  SetFunction(8, 7, bit(6));
  SetFunction(8, 8, bit(7));
  SetFunction(7, 8, bit(8));
  for (int i = 9; i < 15; ++i) SetFunction(14 - i, 8, bit(i));
  // Below the top-right finder and right of the bottom-left one.
  for (int i = 0; i < 8; ++i) SetFunction(size_ - 1 - i, 8, bit(i));
  for (int i = 8; i < 15; ++i) SetFunction(8, size_ - 15 + i, bit(i));
  SetFunction(8, size_ - 8, true);  // the dark module
}

// Two-column zigzag from the bottom-right corner, skipping the vertical timing
// column; modules left over after the last codeword stay light.
void QrEncoder::PlaceCodewords() {
  const int totalBits = codewordCount_ * 8;
  int i = 0;
  for (int right = size_ - 1; right >= 1; right -= 2) {
    if (right == 6) right = 5;
    const bool upward = ((right + 1) & 2) == 0;
    for (int step = 0; step < size_; ++step) {
      const int y = upward ? size_ - 1 - step : step;
      for (int j = 0; j < 2; ++j) {
        const int x = right - j;
        if (isFunction_[x][y]) continue;
        if (i < totalBits) {
          modules_[x][y] = (codewords_[i >> 3] >> (7 - (i & 7))) & 1u;
          ++i;
        }
      }
    }
  }
}

// Pattern 0: (row + column) mod 2 = 0 inverts, remainder modules included.
void QrEncoder::ApplyMask() {
  for (int x = 0; x < size_; ++x)
    for (int y = 0; y < size_; ++y)
      if (!isFunction_[x][y] && (x + y) % 2 == 0) modules_[x][y] ^= 1u;
}
