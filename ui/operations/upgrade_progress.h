#pragma once
// How the device library's two progress numbers become the one value an
// upgrade's tree item shows.

#include <cstdint>

// total 0: done is the end report itself (-1 finished, -2 failed).
// total -1: the device writes; done is its percentage, shown as 50..100.
// any other total: the image is being sent; done of total bytes is 0..50.
int32_t UpgradeProgressValue(int32_t total, int32_t done);
