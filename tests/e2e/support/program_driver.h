#pragma once
// Driving the program in an end-to-end test: a fleet file, the simulator and
// a program folder of its own, the main window opened on it, waiting on the UI thread's
// queue, finding a device's row, one full search, and the user's hand in the
// login prompt and the network dialog.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>

#include "tests/e2e/devsim/devsim_process.h"
#include "ui/main/divarod_dlg.h"
#include "ui/devicelist/dlg_dev_info.h"
#include "ui/devicelist/dlg_login_local.h"
#include "ui/devicelist/dlg_modify_network_new.h"

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

// The text of a fleet file, empty when it cannot be read.
inline QByteArray ReadFleetText(const QString& path) {
  QFile in(path);
  EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << path.toStdString();
  return in.readAll();
}

// Writes `text` as dir/fleet.ini and returns its path.
inline QString WriteFleet(const QTemporaryDir& dir, const QByteArray& text) {
  const QString path = dir.filePath("fleet.ini");
  QFile out(path);
  EXPECT_TRUE(out.open(QIODevice::WriteOnly)) << path.toStdString();
  out.write(text);
  return path;
}

// Copies the shipped configuration and languages into `folder`, which
// becomes a program folder of its own; the error's text, empty on success.
// Copied in process: a child started by QProcess shares this process's
// memory until it executes, which leaves the thread sanitizer blind to this
// thread's locks.
inline std::string CopyShippedConfig(const QString& folder) {
  const std::string shipped = QCoreApplication::applicationDirPath().toStdString() + "/Config File";
  std::error_code error;
  std::filesystem::copy(shipped, folder.toStdString() + "/Config File", std::filesystem::copy_options::recursive,
                        error);
  return error ? error.message() : std::string();
}

// The ground of a test inside the private network namespace (after
// DIVAROD_REQUIRE_PRIVATE_NETWORK): the production discovery, the simulator
// playing `fleetPath` with its devices on addresses of their own on dvr1, and
// `programFolder` made a program folder of its own.
inline ::testing::AssertionResult StartSimulatedFleet(simtest::DevsimProcess& sim, const char* simulatorBinary,
                                                      const QString& fleetPath, const QString& programFolder) {
  qunsetenv("DIVAROD_DISCOVERY_TARGETS");
  if (!sim.Start(simulatorBinary, {"--fleet", fleetPath.toStdString(), "--assign-addresses", "dvr1"}))
    return ::testing::AssertionFailure() << "the simulator did not start: " << sim.output;
  if (const std::string error = CopyShippedConfig(programFolder); !error.empty())
    return ::testing::AssertionFailure() << "no program folder: " << error;
  return ::testing::AssertionSuccess();
}

// Shows the main window on the program folder `folder`, as the program
// starts it; its first search runs by itself.
inline void OpenMainWindow(CDivarodDlg& dlg, const QString& folder) {
  MainDialogInstance = &dlg;
  dlg.config.programFolder = folder + "/";
  dlg.show();
}

// The user types the password (and the user name, when given) into a login
// prompt and presses OK; the prompt's result.
inline int TypeLogin(CDlgLoginLocal& prompt, const QString& password, const QString& user = {}) {
  if (!user.isEmpty()) prompt.userEdit.setText(user);
  prompt.passwordEdit.setText(password);
  prompt.okButton.click();
  return prompt.result();
}

// The user types a new address (mask and gateway follow as when typed) and
// the admin password into the network dialog and presses Modify.
inline int TypeNewAddress(CDlgModifyNetworkNew& network, const QString& ip, const QString& adminPassword) {
  network.ipField.setText(ip);
  network.adminPasswordEdit.setText(adminPassword);
  network.modifyButton.click();
  return network.result();
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
