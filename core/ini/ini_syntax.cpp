#include "core/ini/ini_syntax.h"

namespace ini {

bool IsBlankOrTab(QChar c) { return c == u' ' || c == u'\t'; }

QString TrimBlanks(const QString& s) {
  qsizetype b = 0, e = s.size();
  while (b < e && IsBlankOrTab(s[b])) ++b;
  while (e > b && IsBlankOrTab(s[e - 1])) --e;
  return s.mid(b, e - b);
}

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

namespace {

QString Unquote(const QString& v) {
  if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
    return v.mid(1, v.size() - 2);
  return v;
}

}  // namespace

LineMeaning ClassifyLine(const QString& text) {
  LineMeaning m;
  const QString trimmed = TrimBlanks(text);
  if (trimmed.isEmpty()) return m;
  if (trimmed.front() == u';') {
    m.kind = LineKind::Comment;
    return m;
  }
  if (trimmed.front() == u'[') {
    m.kind = LineKind::Section;
    const qsizetype close = trimmed.indexOf(u']');
    m.name = TrimBlanks(close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1));
    return m;
  }
  m.equalsIndex = text.indexOf(u'=');
  if (m.equalsIndex < 0) {
    m.kind = LineKind::Other;
    return m;
  }
  m.kind = LineKind::Entry;
  m.name = TrimBlanks(text.left(m.equalsIndex));
  m.value = Unquote(TrimBlanks(text.mid(m.equalsIndex + 1)));
  return m;
}

}  // namespace ini
