#pragma once
// The resolutions the channel editor lists, read from Encode.ini's
// [ENCODE] Resolution: entries of a decimal id, a comma, the name and a
// vertical bar, written one after the other ("0,D1|1,HD1|"). The id selects
// the row of the bit-rate tables.

#include <QString>
#include <map>

// Id -> name, in ascending id order.
using ResolutionMap = std::map<int, QString>;

inline constexpr int kResolutionReadBufferChars = 262144;  // wide characters, the NUL included
inline constexpr int kResolutionMaxFieldBytes = 31;        // an id text or a name, in UTF-8

// Reads the list value. A comma ends an id text (read as the C library reads
// a base-10 number: leading blanks, optional sign, digits, 0 without any);
// a bar ends a name, which is listed under the id read last. The first name
// of an id wins. Entries are dropped when their id has no row in the bit-rate
// tables, or their id text or name is longer than 31 bytes; text after the
// last bar, or after a NUL, is ignored.
ResolutionMap ParseResolutionList(const QString& value);

// Reads [ENCODE] Resolution of the file at path (a missing file or key gives
// an empty map) and parses it.
ResolutionMap LoadResolutionMap(const QString& encodeIniPath);
