#include "ui/filters/edit_filters.h"

#include <QLineEdit>
#include <algorithm>
#include <string>

#include "core/util/number_text.h"
#include "core/util/text_conversion.h"

namespace {

constexpr qsizetype kMaxPathBytes = 256;
constexpr std::size_t kMaxModelBytes = 19;  // 20 with the NUL

void Rewrite(QLineEdit* edit, const QString& text) {
  edit->setText(text);  // raises textChanged again when the text differs
  edit->setCursorPosition(static_cast<int>(edit->text().size()));
}

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

}  // namespace

void ClampEditNumber(QLineEdit* edit, int64_t min, int64_t max) {
  if (!edit) return;
  const QString text = edit->text();
  int64_t value = 0;
  CStringToInt64(text, &value, 10);
  const auto v = static_cast<uint64_t>(value);
  if (v < static_cast<uint64_t>(min)) {
    Rewrite(edit, QString::number(min));
    return;
  }
  if (v > static_cast<uint64_t>(max)) {
    Rewrite(edit, QString::number(max));
    return;
  }
  if (text.isEmpty() || (text.size() >= 2 && text.front() == u'0')) {
    Rewrite(edit, QString::number(value));
    return;
  }
  if (!IsDigit(text.back())) Rewrite(edit, QString::number(value));
  const QString now = edit->text();
  if (!now.isEmpty() && !IsDigit(now.front())) Rewrite(edit, QString::number(value));
}

void LimitEditUtf8(QLineEdit* edit) {
  if (!edit) return;
  QString text = edit->text();
  const qsizetype before = text.size();
  while (!text.isEmpty() && text.back() == u' ') text.chop(1);
  const bool trimmed = text.size() != before;
  std::string utf8;
  CStringToUtf8(text, utf8);
  if (static_cast<qsizetype>(utf8.size()) > kMaxPathBytes) {
    // The first 256 units, but never half of a surrogate pair.
    qsizetype cut = std::min(text.size(), kMaxPathBytes);
    if (cut < text.size() && text[cut - 1].isHighSurrogate() && text[cut].isLowSurrogate()) --cut;
    Rewrite(edit, text.left(cut));
  } else if (trimmed) {
    Rewrite(edit, text);
  }
}

void LimitEditAnsi(QLineEdit* edit) {
  if (!edit) return;
  const QString text = edit->text();
  if (text.isEmpty()) return;
  std::string ansi;
  if (!CStringToAnsiBounded(text, ansi) || ansi.size() <= kMaxModelBytes) return;
  // Dropping the last character (a surrogate pair whole) one change
  // notification at a time ends at the longest start of whole characters
  // that fits. Found in one pass over those characters and written once: a
  // pasted long text is never converted again per character.
  Rewrite(edit, text.left(NarrowPrefixWithin(text, kMaxModelBytes)));
}
