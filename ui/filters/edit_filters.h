#pragma once
// Filters that clamp or cut what the user types into a line edit. Each is
// called from the edit's change notification:
//   connect(edit, &QLineEdit::textChanged, edit, [edit] { ClampEditNumber(edit, 1, 65535); });
// A rewrite sets the text, puts the caret at the end and raises the change
// notification again, so the filter runs once more on its own result.

#include <cstdint>

class QLineEdit;

// Keeps a decimal number within min..max (compared as unsigned 64-bit
// numbers, so a negative number counts as too large) and drops leading
// zeros and trailing non-digits.
void ClampEditNumber(QLineEdit* edit, int64_t min, int64_t max);

// File paths: trailing blanks removed, at most 256 characters when the UTF-8
// form would exceed 256 bytes.
void LimitEditUtf8(QLineEdit* edit);

// Model names: the ANSI form stays below 20 bytes (19 plus the NUL).
void LimitEditAnsi(QLineEdit* edit);
