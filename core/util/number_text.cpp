#include "core/util/number_text.h"

#include <climits>
#include <cstdlib>
#include <string>

#include "core/util/text_conversion.h"

namespace {

int ReadLong32(const QString& text, int base) {
  std::string utf8;
  CStringToUtf8(text, utf8);
  const long long v = std::strtoll(utf8.c_str(), nullptr, base);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

}  // namespace

bool CStringToInt(const QString& text, int* value, int base) {
  if (value) *value = ReadLong32(text, base);
  return true;
}

bool CStringToInt64(const QString& text, int64_t* value, int base) {
  if (value) *value = ReadLong32(text, base);
  return true;
}
