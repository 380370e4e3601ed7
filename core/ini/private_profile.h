#pragma once
// Private-profile (INI) reads and writes with the semantics of the Win32
// calls the program was designed around: case-insensitive names, first
// section and first key win, values cut to the caller's buffer. Files may be
// UTF-16LE with a byte-order mark, UTF-8 with one, or plain UTF-8; a write
// keeps the file's encoding and every byte it does not change.
//
// Each call reads the file once; a load that reads many keys reads it once
// for all of them through a ProfileSnapshot (profile_snapshot.h). A FIFO or
// a device at the path is never opened: it reads as a missing file.

#include <QString>

namespace ini {

// Copies the value of [section] key into out, cut to bufferSize - 1
// characters; a missing file, section or key gives def with its trailing
// blanks removed. The value is the text after the line's first "=", blanks
// and tabs trimmed, one pair of enclosing double or single quotes removed.
// Returns the number of characters in out.
int GetPrivateProfileString(const QString& section, const QString& key, const QString& def, QString& out,
                            int bufferSize, const QString& path);

// Every non-empty, non-comment line of the first matching section, trimmed,
// as NUL-separated lines ended by an empty one ("a=1\0b=2\0\0"). Only whole
// lines are copied, at most bufferSize characters with both final NULs.
// Returns the number of characters written, without the final NUL.
int GetPrivateProfileSection(const QString& section, QString& out, int bufferSize, const QString& path);
// The same into a caller's buffer of bufferSize UTF-16 units.
int GetPrivateProfileSection(const QString& section, char16_t* buffer, int bufferSize, const QString& path);

// Optional sign and leading decimal digits of the value (0 when there are
// none; saturated at the 32-bit limits); def when the key is missing.
int GetPrivateProfileInt(const QString& section, const QString& key, int def, const QString& path);

// Replaces the value of the first matching key of the first matching
// section, appends a missing key after the section's last line, a missing
// section at the end, or creates the file. Everything else in the file stays
// byte for byte. Atomic: a temporary file beside it, flushed, renamed
// (core/files/atomic_write.h). False, the file untouched, when it cannot be
// written: a file that is there but cannot be read (it is never rebuilt from
// nothing), one the user may not write, anything but a regular file; and
// when a name or the value holds a line break (or the section name a "]",
// the key a "="), which would corrupt the file.
bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& path);

}  // namespace ini
