#include "ui/tools/capacity_formulas.h"

#include <bit>
#include <limits>

namespace capacity {

namespace {

// 10^9 / 2^30 and 2^30 / 10^9 as the single-precision values the figures use.
const float kGbPerGib = std::bit_cast<float>(0x3F6E6B28u);  // 0.93132257
const float kGibPerGb = std::bit_cast<float>(0x3F89705Fu);  // 1.0737418
constexpr float kTwoPow23 = 8388608.0f;
constexpr float kTwoPowMinus23 = 1.0f / 8388608.0f;  // 1.1920929e-7, exact

// Seconds of recording a day as the signed 32-bit product, widened.
int64_t SecondsPerDay(int32_t hoursPerDay) {
  return static_cast<int32_t>(static_cast<uint32_t>(hoursPerDay) * 3600u);
}

// a x b as a 64-bit product read as unsigned, then to double, then to single.
float ProductAsFloat(int64_t a, int64_t b) {
  const uint64_t product = static_cast<uint64_t>(a) * static_cast<uint64_t>(b);
  return static_cast<float>(static_cast<double>(product));
}

// Truncation toward zero, the 32-bit range's ends for what lies past them.
int32_t TruncateToInt32(float value) {
  if (!(value == value)) return 0;  // NaN
  if (value >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

}  // namespace

int64_t GroupLoad(int32_t channels, int64_t rate) {
  return static_cast<int64_t>(static_cast<uint64_t>(static_cast<int64_t>(channels)) * static_cast<uint64_t>(rate));
}

int32_t RecordDays(int32_t diskGb, int32_t hoursPerDay, int64_t loadSum) {
  if (diskGb == 0 || hoursPerDay == 0 || loadSum == 0) return 0;
  float numerator = static_cast<float>(diskGb);
  numerator = numerator * kGbPerGib;
  numerator = numerator * kTwoPow23;
  const float denominator = ProductAsFloat(SecondsPerDay(hoursPerDay), loadSum);
  const float value = numerator / denominator;
  return TruncateToInt32(value);
}

float GroupDiskSpace(int32_t days, int32_t hoursPerDay, int64_t load) {
  if (days == 0 || hoursPerDay == 0 || load == 0) return 0.0f;
  float v = ProductAsFloat(SecondsPerDay(hoursPerDay), load);
  v = v * static_cast<float>(days);
  v = v * kTwoPowMinus23;
  v = v * kGibPerGb;
  return v;
}

int32_t DiskSpaceGb(float total) {
  if (!(total > 0.0f)) return 0;
  float gb = total * 10.0f;
  gb = gb + 10.0f;
  gb = gb / 10.0f;
  return TruncateToInt32(gb);
}

}  // namespace capacity
