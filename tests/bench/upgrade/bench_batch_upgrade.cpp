// A firmware upgrade of 64 simulated devices at once, an 8 MiB image each,
// the simulator running as its own process on loopback addresses and the
// batch page driving the real device library in this process. Prints the
// whole run's time, the bytes per second sent, the process's peak memory, the
// longest gap of a 10 ms timer on the UI thread, and whether every device
// ended "tx.success" after showing every percentage from 1 to 100 in order.
//   build/release/bin/bench_batch_upgrade [devices] [image MiB]
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "core/device/device_library.h"
#include "core/language/language.h"
#include "libs/devicelink/devicelink.h"
#include "tests/e2e/devsim/devsim_process.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/divarod_dlg.h"
#include "ui/devicelist/dlg_login_local.h"

namespace {

long PeakResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

std::string WriteFleet(int devices, int second) {
  const std::string path = "/tmp/divarod-bench-upgrade-" + std::to_string(::getpid()) + ".ini";
  std::ofstream out(path);
  out << "[fleet]\nanswer_spread_ms=200\n[defaults]\nversion=V5.2.4.ad17 Build:2026-09-14\nusers=admin:admin123\n"
         "upgrade_write_ms=3000\nreboot_ms=3000\n";
  for (int i = 0; i < devices; ++i) {
    char mac[18];
    std::snprintf(mac, sizeof mac, "02:bf:00:00:%02x:%02x", (i >> 8) & 0xff, i & 0xff);
    out << "[d" << i << "]\nmac=" << mac << "\nip=127." << second << "." << (i / 200 + 1) << "." << (i % 200 + 1) << "\n";
  }
  return path;
}

bool Serve(const std::function<bool()>& done, int budgetMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > budgetMs) return false;
    QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const int devices = argc > 1 ? std::atoi(argv[1]) : 64;
  const int imageMiB = argc > 2 ? std::atoi(argv[2]) : 8;
  QApplication app(argc, argv);

  std::string fleet;
  simtest::DevsimProcess sim;
  const bool started = sim.StartOnLoopbackRange(
      DEVSIM_BIN,
      [&](const testsupport::LoopbackRange& r) {
        fleet = WriteFleet(devices, r.second());
        return std::vector<std::string>{"--fleet", fleet, "--discovery", "127.0.0.1:0"};
      },
      30000);
  if (!started) {
    std::fprintf(stderr, "simulator did not start: %s\n", sim.output.c_str());
    return 1;
  }
  const std::string image = "/tmp/divarod-bench-image-" + std::to_string(::getpid()) + ".bin";
  {
    std::ofstream out(image, std::ios::binary);
    std::vector<char> block(1 << 20);
    std::mt19937 random(7);
    for (int m = 0; m < imageMiB; ++m) {
      for (char& c : block) c = static_cast<char>(random());
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
  }
  const std::string programFolder = "/tmp/divarod-bench-program-" + std::to_string(::getpid());
  std::filesystem::create_directories(programFolder);
  std::filesystem::copy(QCoreApplication::applicationDirPath().toStdString() + "/Config File",
                        programFolder + "/Config File", std::filesystem::copy_options::recursive);

  modal::SetAnswerer([](const modal::ModalRequest& r) {
    if (auto* prompt = qobject_cast<CDlgLoginLocal*>(r.dialog)) {
      prompt->passwordEdit.setText("admin123");
      prompt->okButton.click();
      return prompt->result();
    }
    return 1;
  });
  devicelink::DeviceLinkLibrary library;
  library.SetDiscoveryTargets(sim.discovery);
  devicelib::SetDeviceLibrary(&library);
  int status = 0;
  {
    CDivarodDlg dlg;
    MainDialogInstance = &dlg;
    dlg.config.programFolder = QString::fromStdString(programFolder + "/");
    dlg.show();
    CDlgOperate& page = dlg.operatePage;
    if (!Serve([&] { return page.DeviceItemCount() == devices && !dlg.searching.load(); }, 30000)) {
      std::fprintf(stderr, "found %d of %d devices\n", page.DeviceItemCount(), devices);
      return 1;
    }
    for (int i = 0; i < devices; ++i) page.DeviceItem(i)->setCheckState(0, Qt::Checked);
    page.upgradePage.upgradeFilePath = image;

    // What the page shows, item by item, in the order it shows it.
    std::map<QTreeWidgetItem*, std::vector<QString>> shown;
    QObject::connect(&page.deviceTree, &QTreeWidget::itemChanged,
                     [&](QTreeWidgetItem* item, int) { shown[item].push_back(item->text(0)); });
    // The UI thread's responsiveness: the longest gap between ticks of a 10 ms timer.
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      longestGap = std::max(longestGap, sinceTick.restart());
    });
    const long baselineKiB = PeakResidentKiB();
    QElapsedTimer run;
    run.start();
    sinceTick.start();
    ticker.start(10);
    pm::SendPrivateMessage(&page, pm::WM_BATCH_UPGRADE);
    const bool ended = Serve([&] { return !page.upgradeRun.upgradeBusy; }, 300000);
    const double seconds = static_cast<double>(run.nsecsElapsed()) / 1e9;
    ticker.stop();

    int succeeded = 0;
    int complete = 0;
    const QString success = Text("tx.success");
    for (int i = 0; i < devices; ++i) {
      QTreeWidgetItem* item = page.DeviceItem(i);
      const QString label = CDlgOperate::DeviceLabel(*CDlgOperate::RecordOfItem(item));
      if (item->text(0) == label + "  " + success) ++succeeded;
      std::vector<QString> expected;
      for (int p = 1; p <= 100; ++p) expected.push_back(label + QStringLiteral("  %1%").arg(p));
      expected.push_back(label + "  " + success);
      if (shown[item] == expected) ++complete;
    }
    const double bytes = static_cast<double>(devices) * imageMiB * 1048576.0;
    std::printf("devices                  %d\n", devices);
    std::printf("image                    %d MiB\n", imageMiB);
    std::printf("run ended                %s\n", ended ? "yes" : "NO (timed out)");
    std::printf("tx.success               %d of %d\n", succeeded, devices);
    std::printf("percentages 1..100 whole %d of %d devices\n", complete, devices);
    std::printf("run time                 %.2f s\n", seconds);
    std::printf("sent                     %.1f MiB/s (%.0f bytes/s)\n", bytes / seconds / 1048576.0, bytes / seconds);
    std::printf("longest UI timer gap     %lld ms (goal < 50 ms)\n", static_cast<long long>(longestGap));
    std::printf("peak memory              %.1f MiB (before the run %.1f MiB; goal < %d MiB)\n",
                PeakResidentKiB() / 1024.0, baselineKiB / 1024.0, imageMiB + 64);
    status = ended && succeeded == devices && complete == devices ? 0 : 1;
    MainDialogInstance = nullptr;
  }
  devicelib::SetDeviceLibrary(nullptr);
  modal::SetAnswerer({});
  sim.Stop();
  std::remove(fleet.c_str());
  std::remove(image.c_str());
  std::filesystem::remove_all(programFolder);
  return status;
}
