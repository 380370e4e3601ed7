#pragma once
// One broadcast search with the device library, as a second program would
// make it: the records of every device that answered.

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <vector>

#include "core/device/sdk_device_info.h"
#include "libs/devicelink/devicelink.h"

namespace e2e {

inline std::vector<DeviceRecord> SearchDirect(devicelink::DeviceLinkLibrary& lib) {
  std::vector<uint8_t> buffer(sdkinfo::kSearchBufferSize);
  int count = 0;
  EXPECT_EQ(lib.SDK_SearchDevices_v1_v3_MultiEth(buffer.data(), static_cast<int>(buffer.size()), &count, 2, 3000), 1);
  std::vector<DeviceRecord> out;
  for (int i = 0; i < count; ++i)
    out.push_back(sdkinfo::ReadRecord(std::span<const uint8_t>(buffer).subspan(i * sdkinfo::kRecordSize)));
  return out;
}

}  // namespace e2e
