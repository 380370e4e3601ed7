#pragma once
// Windows that must not close on Enter or Esc swallow both keys, on key down
// and on key up, before any control of theirs sees them. The rule belongs to
// a window and reaches its child widgets; a child can take the keys back
// (a sub-page that keeps the usual dialog keys). Separate windows (popups)
// are never covered by their parent's rule.

class QWidget;

namespace keyfilter {

// window and its children swallow Enter, Return and Esc from now on.
void SwallowEnterAndEsc(QWidget* window);

// widget and its children keep the keys even inside a swallowing window.
void KeepEnterAndEsc(QWidget* widget);

// Whether a key event for widget would be swallowed.
bool SwallowsEnterAndEsc(const QWidget* widget);

}  // namespace keyfilter
