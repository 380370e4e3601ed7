// Discovery records come from the network: any 436 bytes must read safely.
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/device/sdk_device_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> rec(sdkinfo::kRecordSize, 0);
  if (size > 0) std::memcpy(rec.data(), data, size < rec.size() ? size : rec.size());
  DeviceRecord r = sdkinfo::ReadRecord(rec);
  std::vector<uint8_t> again(sdkinfo::kRecordSize);
  sdkinfo::WriteRecord(r, again);
  return 0;
}
