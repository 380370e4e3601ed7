#pragma once
// The device's model parameter block (191, 324 bytes): u32 flags at 0, whose
// bit 0 says the block carries a model name, and the name at 4 as narrow
// text in the ANSI code page, NUL-padded to 320 bytes.

#include <array>
#include <cstdint>
#include <string>

struct ModelNameBlock {
  static constexpr std::size_t kSize = 324;
  static constexpr std::size_t kTextOffset = 4;
  static constexpr std::size_t kTextField = 320;
  static constexpr std::size_t kMaxWrittenText = 64;  // what a rename writes at most

  std::array<uint8_t, kSize> bytes{};

  // A zeroed block with flags 1 and the first 64 bytes of name.
  static ModelNameBlock WithName(const std::string& name);
  bool CarriesName() const;  // bit 0 of the flags
  // The text up to its NUL, never past the field.
  std::string Name() const;
};
