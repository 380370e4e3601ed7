// Encode.ini's resolution list is a file beside the program: any text may be
// there. Every entry read must index the bit-rate tables and fit its field,
// and its name must stand in the value as written, before a bar.
#include <QString>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ui/tools/bitrate_tables.h"
#include "ui/tools/resolution_list.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString value = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const ResolutionMap map = ParseResolutionList(value);
  const std::string utf8 = value.toStdString();
  for (const auto& [id, name] : map) {
    Check(id >= 0 && id < kResolutionIdCount);
    const std::string bytes = name.toStdString();
    Check(bytes.size() <= static_cast<std::size_t>(kResolutionMaxFieldBytes));
    Check(utf8.find(bytes + "|") != std::string::npos);
    std::array<uint16_t, 6 * kNtscTopFrameRate> curves{};
    Check(InterpolateBitrateCurves(curves.data(), kStandardNtsc, id));
  }
  Check(ParseResolutionList(value) == map);
  return 0;
}
