#pragma once
// The fixed tables and the record shared by the capacity calculator and its
// channel editor: the calculator list's seven columns, the six image-quality
// levels, and the channel group the editor hands to the calculator.

#include <array>
#include <cstdint>
#include <string>

struct CapacityColumn {
  int id;                // list column index
  const char* titleKey;  // language key of the header text
  uint8_t width;         // pixels
};

enum CapacityColumnId {
  kCapColCheck = 0,  // the row's check box, no text
  kCapColChannels = 1,
  kCapColStandard = 2,
  kCapColQuality = 3,
  kCapColResolution = 4,
  kCapColFrameRate = 5,
  kCapColBitRate = 6,
  kCapacityColumnCount = 7,
};

inline constexpr std::array<CapacityColumn, kCapacityColumnCount> CapacityColumnTable = {{
    {kCapColCheck, "ck.All", 42},
    {kCapColChannels, "ck.Channels", 68},
    {kCapColStandard, "ck.Vedio_Standard", 100},
    {kCapColQuality, "ck.Image_Quality", 115},
    {kCapColResolution, "ck.Resolution", 95},
    {kCapColFrameRate, "ck.Frame_Rate", 115},
    {kCapColBitRate, "ck.Bit_Rate", 100},
}};

struct ImageQuality {
  int id;           // level 0 (lowest) .. 5 (best)
  const char* key;  // language key of its name
};

inline constexpr int kImageQualityCount = 6;
inline constexpr int kBestImageQuality = 5;

inline constexpr std::array<ImageQuality, kImageQualityCount> ImageQualityTable = {{
    {0, "tx.Image_quality_lowest"},
    {1, "tx.Image_quality_low"},
    {2, "tx.Image_quality_standard"},
    {3, "tx.Image_quality_good"},
    {4, "tx.Image_quality_better"},
    {5, "tx.Image_quality_best"},
}};

// One group of channels, as the channel editor reads it from its controls.
struct CapacityChannelRecord {
  int32_t channels = 0;      // 1 .. 1024
  int32_t imageQuality = 0;  // row of ImageQualityTable
  std::string videoStandard;  // "PAL" or "NTSC"
  std::string resolution;     // UTF-8, the name listed from Encode.ini
  int32_t frameRate = 0;      // 1 .. 25 (PAL) or 1 .. 30 (NTSC)
  int32_t bitRate = 0;        // Kb/s
};
