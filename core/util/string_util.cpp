#include "core/util/string_util.h"

#include <sys/stat.h>

std::string& ReplaceAll(std::string& text, const std::string& search, const std::string& replacement) {
  if (search.empty()) return text;
  std::size_t pos = 0;
  while ((pos = text.find(search, pos)) != std::string::npos) {
    text.replace(pos, search.size(), replacement);
    pos += replacement.size();
  }
  return text;
}

bool DirectoryExists(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
