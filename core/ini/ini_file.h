#pragma once
// The bytes of one INI file and the encoding they are in. Reads decode only
// what they return; writes splice new bytes into it, so every byte they do
// not touch stays as it was, line endings and undecodable bytes included.

#include <QString>
#include <string>

namespace ini {

enum class Encoding {
  Utf8,       // no byte-order mark: UTF-8, the ANSI code page of this platform
  Utf8Bom,    // EF BB BF
  Utf16LeBom  // FF FE
};

enum class FileState {
  kMissing,     // nothing at the path: reads give their defaults, a write creates the file
  kUnreadable,  // there, but not a regular file or not readable: reads give their defaults, writes fail
  kLoaded,
};

struct IniFile {
  FileState state = FileState::kMissing;
  Encoding encoding = Encoding::Utf8;
  std::string bytes;  // the whole file, byte-order mark included
};

IniFile ParseIniBytes(std::string bytes);
// One read of the file; a FIFO or a device at the path is never opened.
IniFile LoadIniFile(const QString& path);

qsizetype BomSize(Encoding encoding);
// Bytes per code unit: 1 for UTF-8, 2 for UTF-16LE.
qsizetype UnitSize(Encoding encoding);

// One past the last whole code unit: a UTF-16 file of odd size keeps its
// stray last byte behind everything a write adds.
qsizetype TextEnd(const IniFile& file);

// text in the file's encoding, without a byte-order mark.
std::string EncodeText(Encoding encoding, const QString& text);

}  // namespace ini
