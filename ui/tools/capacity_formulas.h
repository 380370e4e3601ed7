#pragma once
// The two capacity results. The arithmetic keeps the exact order of single-
// and double-precision steps that installers' figures were made with, so a
// result matches theirs to the day and the gigabyte; capacity_formulas.cpp is
// built without floating-point contraction for that reason.
//
// A group's load is channels x bit rate (Kb/s) as a 64-bit product; a GB here
// is 10^9 bytes and a Kb 1024 bits (hence the factors 10^9 / 2^30 and 2^23).

#include <cstdint>

namespace capacity {

// channels x rate, the 64-bit product (wrapping, never undefined).
int64_t GroupLoad(int32_t channels, int64_t rate);

// Whole days of recording that diskGb holds at hoursPerDay hours a day for
// the summed load of the checked groups; 0 when any input is 0. Results past
// the 32-bit range read as its largest value.
int32_t RecordDays(int32_t diskGb, int32_t hoursPerDay, int64_t loadSum);

// The GB one group needs for days days at hoursPerDay hours a day, in single
// precision; 0 when any input is 0.
float GroupDiskSpace(int32_t days, int32_t hoursPerDay, int64_t load);

// The disk-space result for the single-precision sum of GroupDiskSpace: 0 for
// a sum of 0, else one more than its whole part (as the single-precision steps
// round it). Results past the 32-bit range read as its largest value.
int32_t DiskSpaceGb(float total);

}  // namespace capacity
