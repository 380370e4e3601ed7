#pragma once
// Private-profile (INI) reads and writes with the semantics of the Win32
// calls the program was designed around: case-insensitive names, first
// section and first key win, values cut to the caller's buffer.

#include <QString>

namespace ini {

// Copies the value of [section] key into out, cut to bufferSize - 1
// characters; a missing file, section or key gives def with its trailing
// blanks removed. Returns the number of characters in out.
int GetPrivateProfileString(const QString& section, const QString& key, const QString& def, QString& out,
                            int bufferSize, const QString& path);

// Every non-empty, non-comment line of the first matching section, trimmed,
// as NUL-separated lines ended by an empty one ("a=1\0b=2\0\0"), cut at
// bufferSize. Returns the number of characters written, without the final NUL.
int GetPrivateProfileSection(const QString& section, QString& out, int bufferSize, const QString& path);

// Optional sign and leading decimal digits of the value; def when the key is missing.
int GetPrivateProfileInt(const QString& section, const QString& key, int def, const QString& path);

// Replaces, appends or creates [section] key=value, leaving every other byte
// of the file as it was. Atomic: a temporary file beside it, renamed.
bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& path);

}  // namespace ini
