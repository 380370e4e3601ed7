#pragma once
// A main window of its own for each test: a program folder with its own
// Config.ini, the fake device library, every modal window answered and
// logged, and page stand-ins that record the search notices.

#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/fake_device_library.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/divarod_dlg.h"

// Serves the UI thread's events until pred holds or timeoutMs passes.
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 5000);

DeviceRecord Device(const std::string& mac, const std::string& ip, const std::string& customer = "C0000");

// Records the private messages a page gets, with what the main window held
// at that moment.
class RecordingPage : public pm::MessageReceiver {
 public:
  struct Received {
    unsigned message;
    std::size_t mapSize;
    bool workerWaited;  // for a finish notice: the worker stayed blocked while it was handled
  };
  explicit RecordingPage(CDivarodDlg* dlg) : dlg_(dlg) {}
  pm::LRESULT OnPrivateMessage(unsigned message, pm::WPARAM, pm::LPARAM) override;
  std::vector<Received> received;
  // When set, a finish notice checks whether the worker waits for it.
  bool probeWorkerWaiting = false;

 private:
  CDivarodDlg* dlg_;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes Config.ini before the window is shown.
  void WriteConfig(const QByteArray& text);
  QString ReadConfigValue(const QString& section, const QString& key) const;
  // Creates and shows the window, waits for its first search to end, and
  // clears the library's call log.
  void ShowWindow();
  // Routes the search notices to the recording pages.
  void RecordSearchNotices();
  // A request as the device list page makes it, served until the search ended.
  void RunSearch();
  // Makes the next discovery wait until Release().
  void HoldNextSearch();
  void ReleaseSearch();

  std::vector<modal::ModalRequest> Tips() const;

  QTemporaryDir folder;
  ScopedFakeDeviceLibrary library;
  FakeDeviceLibrary& fake = library.fake;
  std::unique_ptr<CDivarodDlg> dlg;
  std::unique_ptr<RecordingPage> devicePage;
  std::unique_ptr<RecordingPage> batchPage;
  // Answer given to every modal window; 1 = OK.
  std::function<int(const modal::ModalRequest&)> answer = [](const modal::ModalRequest&) { return 1; };

  mutable std::mutex modalMutex;
  std::vector<modal::ModalRequest> modals;

  std::mutex holdMutex;
  std::condition_variable holdCv;
  bool held = false;
  std::atomic<bool> holding{false};
};
