#include "ui/tools/resolution_list.h"

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "core/ini/private_profile.h"
#include "core/util/text_conversion.h"
#include "ui/tools/bitrate_tables.h"

namespace {

bool IsCBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Leading blanks, optional sign, decimal digits; 0 without digits; saturated
// at the 32-bit limits.
int ReadDecimalId(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsCBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) break;  // saturated either way
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int>(value);
}

}  // namespace

ResolutionMap ParseResolutionList(const QString& value) {
  ResolutionMap map;
  // The value ends at its first NUL, as a text read into a buffer does.
  std::string utf8;
  CStringToUtf8(value.left(value.indexOf(QChar(u'\0'))), utf8);
  const std::string_view bytes(utf8);
  int id = -1;
  bool idUsable = false;  // the id text read last fits its field
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == ',') {
      const std::string_view text = bytes.substr(start, i - start);
      id = ReadDecimalId(text);
      idUsable = text.size() <= static_cast<std::size_t>(kResolutionMaxFieldBytes);
      start = i + 1;
    } else if (bytes[i] == '|') {
      const std::string name(bytes.substr(start, i - start));
      start = i + 1;
      if (!idUsable || id < 0 || id >= kResolutionIdCount) continue;
      if (name.size() > static_cast<std::size_t>(kResolutionMaxFieldBytes)) continue;
      if (map.count(id)) continue;  // the first name of an id wins
      QString wide;
      Utf8ToCString(wide, name);
      map.emplace(id, wide);
    }
  }
  return map;
}

ResolutionMap LoadResolutionMap(const QString& encodeIniPath) {
  QString value;
  ini::GetPrivateProfileString(QStringLiteral("ENCODE"), QStringLiteral("Resolution"), QString(), value,
                               kResolutionReadBufferChars, encodeIniPath);
  return ParseResolutionList(value);
}
