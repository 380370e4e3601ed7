#pragma once
// Reading an INI file's lines where they lie, without decoding them: a load
// of a large file looks at each byte about once, finds lines, section
// headers and "=" with memchr, and decodes only the names it compares and
// the values it returns, each no further than the caller's buffer.
//
// Positions are byte offsets into the file's bytes; every position is a
// code-unit boundary (UTF-16 units sit at even offsets after the 2-byte
// byte-order mark). The meaning of a line is that of the private-profile
// calls: names compare case-insensitively with the blanks and tabs around
// them ignored.

#include <QString>
#include <string>

#include "core/ini/ini_file.h"

namespace ini {

class TextView {
 public:
  explicit TextView(const IniFile& file);

  qsizetype begin() const { return begin_; }  // after the byte-order mark
  qsizetype end() const { return end_; }      // TextEnd
  qsizetype unit() const { return unit_; }
  char16_t At(qsizetype pos) const;

  // The first position in [from, to) holding the ASCII unit c, else to.
  qsizetype Find(qsizetype from, qsizetype to, char c) const;
  // The last position in [from, to) holding c, else -1.
  qsizetype FindLast(qsizetype from, qsizetype to, char c) const;
  // Moves b and e past the blanks and tabs at either end of [b, e).
  void Trim(qsizetype& b, qsizetype& e) const;
  // [b, e) decoded, at most maxUnits UTF-16 units of it.
  QString Decode(qsizetype b, qsizetype e, qsizetype maxUnits) const;
  // What a name in [b, e) compares as: its case-folded UTF-8 (see NameKey).
  void KeyOf(qsizetype b, qsizetype e, std::string& key) const;

 private:
  bool AllAscii(qsizetype b, qsizetype e) const;

  const char* data_;
  qsizetype begin_;
  qsizetype end_;
  qsizetype unit_;
};

// The key a wanted section or key name is compared by: trimmed of blanks and
// tabs, case-folded as QString::compare without regard to case folds it.
// Two names are the same name exactly when their keys are equal.
std::string NameKey(const QString& name);

bool IsBlankOrTab(char16_t c);

// One physical line: [begin, end) holds its text without "\r\n" or "\n",
// next is where the following line starts (the text's end for the last line).
struct Line {
  qsizetype begin = 0;
  qsizetype end = 0;
  qsizetype next = 0;
};

// The line that starts at begin.
Line LineAt(const TextView& text, qsizetype begin);
// The start of the line holding pos, looking back no further than from (a
// line start).
qsizetype LineStartOf(const TextView& text, qsizetype from, qsizetype pos);
// True when the line ends with "\n" (a last line may end without one, or
// with a lone "\r", which is no line break).
bool EndsWithBreak(const TextView& text, const Line& line);

// The name of a section header line: after "[", up to the first "]" (or the
// line's end), trimmed. False when the line is no header (its first
// character after blanks and tabs is not "[").
bool HeaderName(const TextView& text, const Line& line, qsizetype& b, qsizetype& e);

// The value of an entry line whose first "=" is at equals: after it, blanks
// and tabs trimmed, one pair of enclosing double or single quotes removed.
void ValueOf(const TextView& text, const Line& line, qsizetype equals, qsizetype& b, qsizetype& e);

}  // namespace ini
