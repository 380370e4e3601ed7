#pragma once
// Windows without a caption bar move by their own dark band at the top: a
// left press in the band moves the window with the mouse as a press on a
// caption would. Some windows also toggle maximise with a double-click there.

#include <QObject>
#include <QPoint>
#include <QRect>
#include <functional>

class QWidget;

namespace titleband {

class TitleBand : public QObject {
 public:
  // bandRows: client rows 0 .. bandRows - 1 form the band (a band "up to
  // y 60 inclusive" has 61 rows, one "above y 40" has 40).
  TitleBand(QWidget* window, int bandRows);

  // Run on a double-click in the band (nothing by default).
  void SetDoubleClickAction(std::function<void()> action) { doubleClick_ = std::move(action); }

  int BandRows() const { return bandRows_; }
  bool InBand(int clientY) const { return clientY >= 0 && clientY < bandRows_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  int bandRows_;
  std::function<void()> doubleClick_;
  bool dragging_ = false;
  QPoint grabOffset_;  // cursor position minus window position at the press
};

// Toggles window between its former geometry and the work area of the screen
// under the cursor (the primary screen when none is). Keeps the former
// geometry in the window itself. Returns false when no screen is known.
bool ToggleMaximiseToWorkArea(QWidget* window);

// Whether the window is maximised by ToggleMaximiseToWorkArea.
bool IsMaximisedToWorkArea(const QWidget* window);

}  // namespace titleband
