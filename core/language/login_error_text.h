#pragma once
// The reason shown when a device refuses a login. index = the device
// library's login error code + 1, 0..12.

#include <QString>

inline constexpr int kLoginErrorTextCount = 13;

// Sets text to the language text of the code's reason; for codes without one
// (indexes 1, 9, 11) and for indexes outside 0..12 text keeps what it held.
// Always returns 1.
int LoginErrorText(QString& text, int index);
