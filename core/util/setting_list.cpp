#include "core/util/setting_list.h"

std::vector<std::string> SplitSettingList(const std::string& list) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t bar = list.find('|', start);
    const std::size_t end = bar == std::string::npos ? list.size() : bar;
    if (end > start) {
      std::size_t n = std::min(end - start, kSettingListItemMaxBytes);
      if (n < end - start)
        while (n > 0 && (static_cast<unsigned char>(list[start + n]) & 0xC0) == 0x80) --n;
      pieces.push_back(list.substr(start, n));
    }
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return pieces;
}
