// The program as start-up builds it, with a user's hand: once the first
// search has found the fleet, the user checks every device on the batch page
// and imports a configuration into them. While the run goes on it prints
// "closing <window id>", and whoever started it closes the main window
// through the X server, as the window manager does for Alt+F4 or its close
// button. Once the window's modal run has ended the program keeps serving
// its events for a while and watches whether anything of the run still
// happens, then ends as the program does.
//
//   close_during_import PROGRAM_FOLDER CONFIG_FILE DISCOVERY_ADDR:PORT DEVICES
//
// Prints, at the end, whether the close came from the platform and what
// happened after it. Exit status 0 when nothing did, 3 when something did, 2
// on a bad start; a library call after the library's cleanup prints so and
// exits 4.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QTreeWidgetItem>
#include <atomic>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "core/device/device_library.h"
#include "libs/devicelink/devicelink.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/divarod_dlg.h"
#include "ui/devicelist/dlg_login_local.h"

namespace {

std::atomic<bool> g_closed{false};       // the window's modal run has ended
std::atomic<bool> g_cleanedUp{false};    // the library has been destroyed
std::atomic<int> g_calls{0};             // the run's library calls
std::atomic<int> g_callsAfterClose{0};
std::atomic<int> g_windowsAfterClose{0};
bool g_platformClose = false;            // the close came as the platform's event

// Notes whether the main window's close event came from the platform.
class CloseWatch : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Close) {
      g_platformClose = event->spontaneous();
      if (!closed.isValid()) closed.start();
    }
    return false;
  }
  QElapsedTimer closed;  // since the platform's close reached the window
};

// The device library as start-up installs it, noting the calls a batch run makes.
class WatchedLibrary : public devicelink::DeviceLinkLibrary {
 public:
  ~WatchedLibrary() override { g_cleanedUp = true; }
  int32_t SdkLogin(const char* ip, uint16_t port, const char* user, const char* password, uint8_t* info, int* error,
                   int r1, int r2) override {
    Note();
    return DeviceLinkLibrary::SdkLogin(ip, port, user, password, info, error, r1, r2);
  }
  void SdkLogout(int32_t handle) override {
    Note();
    DeviceLinkLibrary::SdkLogout(handle);
  }
  int SdkImportConfig(int32_t handle, const char* path, int r1, int r2, int r3, int r4, int mode) override {
    Note();
    return DeviceLinkLibrary::SdkImportConfig(handle, path, r1, r2, r3, r4, mode);
  }

 private:
  static void Note() {
    if (g_cleanedUp) {
      std::fputs("device library called after its cleanup\n", stderr);
      ::_exit(4);
    }
    ++g_calls;
    if (g_closed) ++g_callsAfterClose;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fputs("usage: close_during_import PROGRAM_FOLDER CONFIG_FILE DISCOVERY_ADDR:PORT DEVICES\n", stderr);
    return 2;
  }
  QApplication qtApp(argc, argv);
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const QString configFile = QString::fromLocal8Bit(argv[2]);
  const auto discovery = devicelink::ParseEndpoint(argv[3]);
  const int devices = std::atoi(argv[4]);
  if (!discovery || devices <= 0) return 2;

  static WatchedLibrary library;  // as start-up's: destroyed after main returns
  library.SetDiscoveryTargets({*discovery});
  devicelib::SetDeviceLibrary(&library);

  // Every window the user meets is answered: the run's login prompt with a
  // password the devices refuse, the confirmation with Yes, notices with OK.
  modal::SetAnswerer([](const modal::ModalRequest& request) {
    if (g_closed) ++g_windowsAfterClose;
    if (auto* prompt = qobject_cast<CDlgLoginLocal*>(request.dialog)) {
      prompt->passwordEdit.setText("not-the-password");
      prompt->okButton.click();
      return prompt->result();
    }
    return 1;
  });

  auto* dialog = new CDivarodDlg();  // as start-up keeps it: never deleted
  MainDialogInstance = dialog;
  dialog->config.programFolder = folder + "/";
  CloseWatch closeWatch;
  dialog->installEventFilter(&closeWatch);

  QTimer hand;
  int step = 0;
  QElapsedTimer clock;
  clock.start();
  QObject::connect(&hand, &QTimer::timeout, [&] {
    CDlgOperate& page = dialog->operatePage;
    if (step < 2 && clock.elapsed() > 60000) {
      std::fputs("the run did not get under way\n", stderr);
      std::_Exit(2);
    }
    if (step == 0 && !dialog->searching.load() && page.DeviceItemCount() == devices) {
      for (int i = 0; i < page.DeviceItemCount(); ++i) page.DeviceItem(i)->setCheckState(0, Qt::Checked);
      page.configurationPage.pathEdit.setText(configFile);
      page.configurationPage.importButton.click();
      step = 1;
    } else if (step == 1 && g_calls >= 20) {
      std::printf("closing %llu\n", static_cast<unsigned long long>(dialog->winId()));
      std::fflush(stdout);
      step = 2;
    } else if (step == 2 && clock.elapsed() > 120000) {
      std::fputs("no close came\n", stderr);
      std::_Exit(2);
    }
  });
  hand.start(10);
  dialog->exec();
  g_closed = true;
  // How long the close took the program itself: its runs ended, its modal run returned.
  std::printf("run ended %lld ms after the close\n",
              closeWatch.closed.isValid() ? static_cast<long long>(closeWatch.closed.elapsed()) : -1LL);
  std::fflush(stdout);

  // The application goes on serving its events a little: a run that outlived
  // the window would show here.
  QElapsedTimer watch;
  watch.start();
  while (watch.elapsed() < 500) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  std::printf("closed by the platform: %s\n", g_platformClose ? "yes" : "no");
  std::printf("after close: %d library calls, %d windows\n", g_callsAfterClose.load(), g_windowsAfterClose.load());
  std::fflush(stdout);
  return g_callsAfterClose == 0 && g_windowsAfterClose == 0 ? 0 : 3;
}
