#pragma once
// How GoogleTest prints a QString: its UTF-16 units (a long text by its two
// ends), others than printable ASCII in hex, so that a surrogate left alone
// or a character too many shows in a failure.

#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
  const auto unit = [os](char16_t c) {
    if (c >= 0x20 && c < 0x7F) {
      *os << static_cast<char>(c);
    } else {
      *os << "\\x" << std::hex << static_cast<unsigned>(c) << std::dec;
    }
  };
  *os << text.size() << " units \"";
  const qsizetype size = text.size();
  for (qsizetype i = 0; i < size; ++i) {
    if (size > 40 && i == 16) {
      *os << "...";
      i = size - 16;
    }
    unit(text[i].unicode());
  }
  *os << "\"";
}
