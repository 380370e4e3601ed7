#pragma once
// The bit rates the channel editor offers. For each resolution id (0 .. 31)
// a table row gives, per image-quality level, the bit rate at 1 frame per
// second and at the standard's top frame rate (25 for PAL, 30 for NTSC); the
// rates in between are interpolated along a straight line. Rows 30 and 31 are
// reserved and hold zeros.

#include <array>
#include <cstdint>

#include "ui/tools/capacity_tables.h"

inline constexpr int kResolutionIdCount = 32;
inline constexpr int kPalTopFrameRate = 25;
inline constexpr int kNtscTopFrameRate = 30;

// Twelve rates in Kb/s: the minimum for levels 0 .. 5, then the maximum for
// levels 0 .. 5.
using BitrateRow = std::array<uint16_t, 2 * kImageQualityCount>;

extern const std::array<BitrateRow, kResolutionIdCount> PalBitrateTable;
extern const std::array<BitrateRow, kResolutionIdCount> NtscBitrateTable;

enum VideoStandard { kStandardPal = 0, kStandardNtsc = 1 };

// Six curves, one per image-quality level, point j holding the rate at j + 1
// frames per second.
using PalBitrateCurves = std::array<std::array<uint16_t, kPalTopFrameRate>, kImageQualityCount>;
using NtscBitrateCurves = std::array<std::array<uint16_t, kNtscTopFrameRate>, kImageQualityCount>;

// Fills the six curves of standard (kStandardPal or kStandardNtsc) for
// resolution id: point 0 the minimum, the last point the maximum, rounded
// half up in between. destination holds 6 x 25 (PAL) or 6 x 30 (NTSC)
// points, curve 0 first. An id outside 0 .. 31 leaves destination as it is
// and gives false.
bool InterpolateBitrateCurves(uint16_t* destination, int standard, int resolutionId);
