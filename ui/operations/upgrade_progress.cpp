#include "ui/operations/upgrade_progress.h"

#include <algorithm>
#include <cmath>
#include <limits>

int32_t UpgradeProgressValue(int32_t total, int32_t done) {
  if (total == 0) return done;
  if (total == -1) return std::min(done / 2 + 50, 100);
  // Sending: single precision, truncated toward zero. A quotient no int can
  // hold (only a library gone wrong reports one) is kept in range rather than
  // converted with undefined behaviour.
  const float value = static_cast<float>(done) / static_cast<float>(total) * 50.0f;
  if (std::isnan(value)) return 0;
  constexpr float kLimit = 2147483520.0f;  // the largest float below 2^31
  return static_cast<int32_t>(std::clamp(value, -kLimit, kLimit));
}
