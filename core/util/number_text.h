#pragma once
// Text to number the way the C library's strtol reads it on the platform the
// program was designed for (32-bit long): leading blanks skipped, optional
// sign, digits up to the first other character, 0 without digits, saturated
// at the 32-bit limits. Callers pass base 10.

#include <QString>
#include <cstdint>

bool CStringToInt(const QString& text, int* value, int base);
// The same 32-bit result widened with its sign: never outside the 32-bit range.
bool CStringToInt64(const QString& text, int64_t* value, int base);
