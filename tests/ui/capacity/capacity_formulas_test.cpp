// The two capacity results against figures worked out step by step in single
// precision, the documented examples first, then inputs where single
// precision decides the result: large disks, many groups, totals a few steps
// below a whole number, and results past the 32-bit range.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "ui/tools/capacity_formulas.h"

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

struct DaysCase {
  int32_t disk;
  int32_t hours;
  int64_t load;
  int32_t days;
};

TEST(CapacityFormulas, RecordDays) {
  const DaysCase cases[] = {
      {1000, 24, 2048, 44},  // 1 channel at 2048 Kb/s
      {1, 24, 2048, 0},
      {0, 24, 2048, 0},
      {1000, 0, 2048, 0},
      {1000, 24, 0, 0},
      {999999999, 24, 2048, 44151588},
      {999999999, 24, int64_t{1024} * 16384 * 1000, 5},  // a thousand full groups
      // Single precision differs from the exact quotient here; installers' figures follow it.
      {699642631, 7, 2048, 105909712},     // exactly 105909715.53
      {63120035, 5, 5120, 5350752},        // exactly 5350751.66
      {252532812, 5, 100352, 1092218},     // exactly 1092217.94: carried up to the whole day
      {601732898, 21, 1280, 48580508},     // exactly 48580504.56
      // Past the 32-bit range: the largest value, never a negative number of days.
      {999999999, 1, 1, kMax},
      {999999999, 24, 1, kMax},
  };
  for (const DaysCase& c : cases)
    EXPECT_EQ(capacity::RecordDays(c.disk, c.hours, c.load), c.days)
        << c.disk << " GB, " << c.hours << " h, load " << c.load;
}

struct DiskCase {
  int32_t days;
  int32_t hours;
  std::vector<int64_t> loads;  // one per checked group, in row order
  int32_t gb;
};

int32_t DiskSpaceFor(const DiskCase& c) {
  float total = 0.0f;
  for (int64_t load : c.loads) total = total + capacity::GroupDiskSpace(c.days, c.hours, load);
  return capacity::DiskSpaceGb(total);
}

TEST(CapacityFormulas, DiskSpace) {
  std::vector<int64_t> thousand;
  for (int i = 0; i < 1000; ++i) thousand.push_back((i * 37) % 5000 + 1);
  const DiskCase cases[] = {
      {30, 24, {4 * 1024}, 1359},  // a total of 1358.954
      {1, 1, {1}, 1},
      {1, 1, {1, 1, 1}, 1},
      {7, 12, {4 * 2048, 16 * 1024, 512}, 972},
      {0, 24, {4096}, 0},
      {30, 0, {4096}, 0},
      {30, 24, {0}, 0},
      {30, 24, {}, 0},
      {30, 24, thousand, 802069},  // summed in single precision: 802068.5
      {366, 24, {int64_t{1024} * 8192, int64_t{1024} * 8192, int64_t{1024} * 8192}, 101862880},
      {366, 24, std::vector<int64_t>(31, int64_t{1024} * 16384), 2105166592},
      // Past the 32-bit range: the largest value, never a negative size.
      {366, 24, std::vector<int64_t>(32, int64_t{1024} * 16384), kMax},
  };
  for (const DiskCase& c : cases)
    EXPECT_EQ(DiskSpaceFor(c), c.gb) << c.days << " days, " << c.hours << " h, " << c.loads.size() << " groups";
}

// One more than the whole part, except a few steps below a whole number,
// where the single-precision steps carry the total up to it first.
TEST(CapacityFormulas, DiskSpaceOfTotalsNearWholeNumbers) {
  const struct {
    float total;
    int32_t gb;
  } cases[] = {
      {5.0f, 6},
      {158.54f, 159},
      {std::nextafter(1.0f, 0.0f), 2},                            // 1 step below 1
      {std::nextafter(std::nextafter(1.0f, 0.0f), 0.0f), 2},      // 2 steps below
      {0.99999982f, 1},                                           // 3 steps below
      {std::nextafter(6.0f, 0.0f), 7},                            // 1 step below 6
      {std::nextafter(std::nextafter(6.0f, 0.0f), 0.0f), 6},      // 2 steps below 6
      {std::nextafter(159.0f, 0.0f), 159},
      {0.0f, 0},
      {-1.0f, 0},
      {3.0e9f, kMax},
  };
  for (const auto& c : cases) EXPECT_EQ(capacity::DiskSpaceGb(c.total), c.gb) << c.total;
}

TEST(CapacityFormulas, GroupLoadWidensBeforeMultiplying) {
  EXPECT_EQ(capacity::GroupLoad(1024, 2147483647), int64_t{1024} * 2147483647);
  EXPECT_EQ(capacity::GroupLoad(-2, 5), -10);
}

}  // namespace
