#pragma once
// What one INI line means: a section header, a key=value entry, a comment,
// a blank line or some other text. Names compare case-insensitively with the
// blanks and tabs around them ignored, as the private-profile calls do.

#include <QString>

namespace ini {

enum class LineKind { Blank, Comment, Section, Entry, Other };

struct LineMeaning {
  LineKind kind = LineKind::Blank;
  QString name;     // section name or key, trimmed
  QString value;    // entry only: after the first "=", trimmed, one pair of enclosing quotes removed
  qsizetype equalsIndex = -1;  // entry only: index of the first "=" in the line's text
};

LineMeaning ClassifyLine(const QString& text);

bool IsBlankOrTab(QChar c);
QString TrimBlanks(const QString& s);
bool SameName(const QString& a, const QString& b);

}  // namespace ini
