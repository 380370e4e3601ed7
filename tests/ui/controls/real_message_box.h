#pragma once
// Runs a real message box modally and, once it shows, lets `user` play the
// user (keys, clicks, the mouse); returns the box's result, -1 when it never
// showed.

#include <QTest>
#include <QTimer>
#include <functional>

#include "ui/controls/dlg_tip.h"

inline int RunWithUser(CDlgTip& tip, const std::function<void(CDlgTip&)>& user) {
  QTimer::singleShot(0, &tip, [&] {
    if (!QTest::qWaitForWindowExposed(&tip)) {
      tip.done(-1);
      return;
    }
    user(tip);
  });
  return tip.DoModal();
}
