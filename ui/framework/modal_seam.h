#pragma once
// The one point through which every modal window of the program opens. In
// normal use it runs the window; a test installs an answerer that sees what
// would be shown and answers in the user's place. A whole program started
// with DIVAROD_MODAL_LOG=<file> writes each modal window to that file (one
// line: kind, title, text, separated by tabs) and answers it with its
// default, so end-to-end runs need no person either.

#include <functional>
#include <QString>

class QDialog;

namespace modal {

struct ModalRequest {
  QString kind;          // "platform-message", "tip", "login", "file-open", ...
  QString title;
  QString text;
  int icon = 0;          // kind-specific
  int defaultResult = 1; // what the logging answerer returns
  QDialog* dialog = nullptr;  // the window itself, when there is one
};

// Returns the answer to give instead of running the window.
using Answerer = std::function<int(const ModalRequest&)>;

void SetAnswerer(Answerer answerer);  // empty restores the real windows
bool HasAnswerer();

// Runs dialog modally through the seam and returns its result.
int Exec(QDialog& dialog, ModalRequest request);

// Any other modal window (one whose run is not a QDialog::exec): returns the
// answerer's answer when one is set, else runs `show` and returns its result.
int Run(const ModalRequest& request, const std::function<int()>& show);

// While one lives, no modal window opens: each is answered with its default,
// the way it is dismissed. The main window holds one while it waits for its
// workers to end as it closes, so that nothing a worker asks for then (a
// prompt, a notice) appears after the window has gone.
class RefuseWindows {
 public:
  RefuseWindows();
  ~RefuseWindows();
  RefuseWindows(const RefuseWindows&) = delete;
  RefuseWindows& operator=(const RefuseWindows&) = delete;
};

// The platform's own message box, with an OK button only. icon: 0x40
// information, 0x30 warning, 0x10 error.
void PlatformMessageBox(const QString& text, const QString& caption, int icon);

}  // namespace modal
