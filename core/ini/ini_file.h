#pragma once
// The bytes of one INI file and the encoding they are in. Reads decode it;
// writes splice new bytes into it, so every byte they do not touch stays as
// it was, line endings and undecodable bytes included.

#include <QByteArray>
#include <QString>
#include <vector>

namespace ini {

enum class Encoding {
  Utf8,       // no byte-order mark: UTF-8, the ANSI code page of this platform
  Utf8Bom,    // EF BB BF
  Utf16LeBom  // FF FE
};

struct IniFile {
  bool exists = false;
  Encoding encoding = Encoding::Utf8;
  QByteArray bytes;  // the whole file, byte-order mark included
};

// One physical line: [begin, end) holds its text without "\r\n" / "\n",
// next is where the following line starts (== end at the end of a file
// without a final line break). Offsets are byte offsets into bytes.
struct IniLine {
  qsizetype begin = 0;
  qsizetype end = 0;
  qsizetype next = 0;
  QString text;
};

IniFile ParseIniBytes(const QByteArray& bytes);
// A missing or unreadable file gives exists == false and no bytes.
IniFile LoadIniFile(const QString& path);

qsizetype BomSize(Encoding encoding);
// Bytes per code unit: 1 for UTF-8, 2 for UTF-16LE.
qsizetype UnitSize(Encoding encoding);

std::vector<IniLine> SplitLines(const IniFile& file);

// True when the line ends with "\n" (a last line may end without one, or
// with a lone "\r", which is no line break).
bool EndsWithBreak(const IniFile& file, const IniLine& line);

// One past the last whole code unit: a UTF-16 file of odd size keeps its
// stray last byte behind everything a write adds.
qsizetype TextEnd(const IniFile& file);

// text in the file's encoding, without a byte-order mark.
QByteArray EncodeText(Encoding encoding, const QString& text);

// The code unit at byte offset pos (pos must be a unit boundary).
char16_t UnitAt(const IniFile& file, qsizetype pos);

// The line break the file already uses ("\r\n" when its first break is one,
// "\n" otherwise or for a file without breaks).
QString LineBreakOf(const IniFile& file, const std::vector<IniLine>& lines);

}  // namespace ini
