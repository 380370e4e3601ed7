#pragma once
// Driving the program's main window in an end-to-end test: waiting on the
// UI thread's queue, finding a device's row, one full search.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>
#include <string>

#include "ui/main/divarod_dlg.h"
#include "ui/main/dlg_dev_info.h"

namespace e2e {

// Runs the UI thread's queue until done() holds or the time is up.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return true;
}

// The row showing mac, or -1.
inline int RowOf(CDlgDevInfo& page, const std::string& mac) {
  for (int row = 0; row < page.RowCount(); ++row)
    if (page.RecordAt(row) && page.RecordAt(row)->mac == mac) return row;
  return -1;
}

// One search through the page's search command, waited for to its end.
inline bool SearchOnce(CDivarodDlg& dlg) {
  if (!WaitUntil([&] { return !dlg.searching.load(); }, 15000)) return false;
  dlg.devInfoPage.RequestSearch();
  if (!WaitUntil([&] { return dlg.searching.load(); }, 5000)) return false;
  if (!WaitUntil([&] { return !dlg.searching.load(); }, 15000)) return false;
  QCoreApplication::processEvents();
  return true;
}

}  // namespace e2e
