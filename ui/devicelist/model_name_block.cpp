#include "ui/devicelist/model_name_block.h"

#include <algorithm>
#include <cstring>

ModelNameBlock ModelNameBlock::WithName(const std::string& name) {
  ModelNameBlock block;
  block.bytes[0] = 1;  // flags, little-endian: only bit 0
  std::memcpy(block.bytes.data() + kTextOffset, name.data(), std::min(name.size(), kMaxWrittenText));
  return block;
}

bool ModelNameBlock::CarriesName() const { return (bytes[0] & 0x01) != 0; }

std::string ModelNameBlock::Name() const {
  const auto* text = reinterpret_cast<const char*>(bytes.data() + kTextOffset);
  return std::string(text, strnlen(text, kTextField));
}
