// The upgrade callback's arithmetic: the library's (total, done) pairs of the
// three phases and the one value each becomes.
#include <gtest/gtest.h>

#include <limits>

#include "ui/operations/upgrade_progress.h"

namespace {

struct Case {
  int32_t total;
  int32_t done;
  int32_t value;
};

TEST(UpgradeProgressValue, EveryPhaseAsTheItemShowsIt) {
  const Case cases[] = {
      // end reports pass through as they are
      {0, -1, -1},
      {0, -2, -2},
      {0, 0, 0},
      // the device writes: half the percentage, plus 50, at most 100
      {-1, 0, 50},
      {-1, 1, 50},  // 1 / 2 truncates to 0
      {-1, 60, 80},
      {-1, 99, 99},
      {-1, 100, 100},
      {-1, 120, 100},
      {-1, -3, 49},  // signed division truncates toward zero: -1 + 50
      // sending: done of total bytes, 0..50, truncated
      {200, 0, 0},
      {200, 100, 25},
      {200, 200, 50},
      {3, 1, 16},   // 16.666...
      {3, 2, 33},   // 33.333...
      {7, 1, 7},    // 7.14...
      {8 * 1024 * 1024, 8 * 1024 * 1024 - 1, 49},
      {1 << 30, 1 << 30, 50},
  };
  for (const Case& c : cases)
    EXPECT_EQ(UpgradeProgressValue(c.total, c.done), c.value) << "total " << c.total << " done " << c.done;
}

TEST(UpgradeProgressValue, SinglePrecisionAsTheLibraryCallerComputesIt) {
  // 16777217 is the first integer a float cannot hold: in single precision
  // done/total rounds to exactly 1, in double it stays below and gives 49.
  EXPECT_EQ(UpgradeProgressValue(16777217, 16777216), 50);
}

TEST(UpgradeProgressValue, NonsenseFromTheLibraryStaysDefined) {
  const int32_t big = std::numeric_limits<int32_t>::max();
  EXPECT_GT(UpgradeProgressValue(1, big), 0);
  EXPECT_LT(UpgradeProgressValue(1, std::numeric_limits<int32_t>::min()), 0);
}

}  // namespace
