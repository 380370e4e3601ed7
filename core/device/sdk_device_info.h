#pragma once
// The device library's 436-byte discovery record and its reading into a
// DeviceRecord.

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/device/device_record.h"

namespace sdkinfo {

inline constexpr std::size_t kRecordSize = 436;
inline constexpr std::size_t kSearchBufferRecords = 1024;
inline constexpr std::size_t kSearchBufferSize = kRecordSize * kSearchBufferRecords;  // 0x6D000

// Byte offsets and spans of the fields the program reads.
struct TextField {
  std::size_t offset;
  std::size_t span;
};
inline constexpr TextField kIp{0, 16};
inline constexpr std::size_t kTcpPort = 16;  // u16
inline constexpr TextField kNetmask{20, 16};
inline constexpr TextField kGateway{36, 16};
inline constexpr TextField kMac{52, 40};
inline constexpr TextField kType{92, 64};
inline constexpr TextField kCustomerCode{156, 8};
inline constexpr std::size_t kCapabilities = 164;  // u8
inline constexpr TextField kDns1{168, 16};
inline constexpr TextField kDns2{184, 16};
inline constexpr TextField kModel{200, 20};
inline constexpr TextField kCloudId{220, 64};
inline constexpr TextField kVersion{284, 32};
inline constexpr std::size_t kKind = 316;  // u32
inline constexpr TextField kDevTime{320, 32};
inline constexpr TextField kReleaseTime{352, 32};
inline constexpr TextField kDevStartTime{384, 32};
inline constexpr std::size_t kDhcpMode = 416;  // u8
inline constexpr std::size_t kHttpPort = 420;  // u16

inline constexpr const char* kEmptyModel = "-- --";

// Reads one record: numbers little-endian, each text up to its first NUL but
// never past its span. Every other field of the result is zero or empty;
// valid is set, onvifPort/onvifCapable follow kind, an empty model reads "-- --".
// The span must hold at least kRecordSize bytes.
DeviceRecord ReadRecord(std::span<const uint8_t> record);

// The inverse, for the library stand-in and the tests: lays a record out as
// the library delivers it. Texts longer than their span are cut to fill it
// completely (no NUL), which the reader accepts.
void WriteRecord(const DeviceRecord& record, std::span<uint8_t> out);

}  // namespace sdkinfo
