#pragma once
// Conversions between the user interface's wide texts (QString, UTF-16) and
// the narrow byte strings of the device library, the datagrams and the files.
// On this platform the ANSI code page is UTF-8, so both narrow forms are
// UTF-8; the two names are kept apart because callers mean different things.
// None reports a failure: they return true, CStringToAnsiBounded excepted.

#include <QString>
#include <string>

inline constexpr unsigned kCodePageAnsi = 0;      // the system's ANSI code page
inline constexpr unsigned kCodePageUtf8 = 65001;  // UTF-8

bool CStringToAnsi(const QString& wide, std::string& narrow);
bool CStringToUtf8(const QString& wide, std::string& narrow);
// Cuts wide at its first NUL (and keeps that shorter text), then converts it
// to codePage (kCodePageAnsi or kCodePageUtf8).
bool CStringToMultiByte(QString& wide, std::string& narrow, unsigned codePage);
// narrow is read up to its first NUL; undecodable bytes become U+FFFD, an
// empty text gives the empty text.
bool Utf8ToCString(QString& wide, const std::string& narrow);

// Like CStringToAnsi through bounded working buffers of 32,010 wide
// characters and 64,020 bytes: longer texts are cut at whole characters.
// False only when a working buffer cannot be had (narrow is then unchanged).
inline constexpr int kBoundedWideChars = 32010;
inline constexpr int kBoundedNarrowBytes = 64020;
bool CStringToAnsiBounded(const QString& wide, std::string& narrow);

// The length in UTF-16 units of the longest start of wide that ends between
// whole characters (a surrogate pair is one) and whose narrow form (ANSI or
// UTF-8, both UTF-8 here) takes at most maxBytes bytes: what dropping the
// last character until the text fits leaves. Reads no further than that.
qsizetype NarrowPrefixWithin(const QString& wide, std::size_t maxBytes);
