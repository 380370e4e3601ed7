#include "core/util/char_validators.h"

#include <cstring>

namespace {

bool IsPasswordChar(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  return c != 0 && std::strchr("!#$%&*+,-./:;<=>?@^_|", c) != nullptr;
}

bool IsTextChar(unsigned char c) {
  if (c < 0x20 || c > 0x7E) return false;
  return c != '"' && c != '\'' && c != '?' && c != '\\';
}

template <typename Allowed>
bool Check(std::string& text, Allowed allowed) {
  for (char c : text) {
    if (!allowed(static_cast<unsigned char>(c))) {
      text.assign(1, c);
      return false;
    }
  }
  return true;
}

}  // namespace

bool IsValidPasswordChars(std::string& text) { return Check(text, IsPasswordChar); }
bool IsValidTextChars(std::string& text) { return Check(text, IsTextChar); }
