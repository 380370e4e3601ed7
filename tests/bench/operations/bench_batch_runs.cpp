// A reboot run and a port run of the batch-operation page over 256 checked,
// logged-in devices, each against a simulator of its own running as a
// separate process on loopback addresses. Prints the whole run, the time per
// device, and how much of it the device library's calls took (waiting for
// the devices) against the page's own work.
//   build/release/bin/bench_batch_runs
#include <QApplication>
#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "libs/devicelink/devicelink.h"
#include "tests/e2e/devsim/devsim_process.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/divarod_dlg.h"

namespace {

constexpr int kDevices = 256;
using Clock = std::chrono::steady_clock;

// Forwards every call to the real library and adds up the time spent inside.
class TimedLibrary : public devicelink::DeviceLinkLibrary {
 public:
  double insideMs = 0;
  int calls = 0;
  template <typename F>
  auto Timed(F f) {
    const auto start = Clock::now();
    auto result = f();
    insideMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    ++calls;
    return result;
  }
  void SdkLogout(int32_t h) override {
    Timed([&] {
      DeviceLinkLibrary::SdkLogout(h);
      return 0;
    });
  }
  int SdkReboot(int32_t h) override { return Timed([&] { return DeviceLinkLibrary::SdkReboot(h); }); }
  int SdkGetParameter(int32_t h, int b, int c, void* buf, int s, int* o, int t, int r1, int r2) override {
    return Timed([&] { return DeviceLinkLibrary::SdkGetParameter(h, b, c, buf, s, o, t, r1, r2); });
  }
  int SdkSetParameter(int32_t h, int b, int c, const void* buf, int s, int t) override {
    return Timed([&] { return DeviceLinkLibrary::SdkSetParameter(h, b, c, buf, s, t); });
  }
};

std::string WriteFleet(int second) {
  const std::string path = "/tmp/divarod-bench-batch-" + std::to_string(::getpid()) + "-" +
                           std::to_string(second) + ".ini";
  std::ofstream out(path);
  out << "[fleet]\nanswer_spread_ms=0\n[defaults]\nversion=V5.2.4 Build:2026-09-14\nreboot_ms=60000\n";
  for (int i = 0; i < kDevices; ++i) {
    char mac[18];
    std::snprintf(mac, sizeof mac, "02:ba:00:00:%02x:%02x", i >> 8, i & 0xff);
    out << "[d" << i << "]\nmac=" << mac << "\nip=127." << second << "." << (i / 200 + 1) << "." << (i % 200 + 1)
        << "\n";
  }
  return path;
}

// One run: a fresh simulator, every device logged in, the tree fully
// checked, then the run through its message. Returns false on a setup failure.
bool RunOnce(const char* name, unsigned message, pm::WPARAM wParam) {
  simtest::DevsimProcess sim;
  std::string fleet;
  const bool started = sim.StartOnLoopbackRange(
      DEVSIM_BIN,
      [&](const testsupport::LoopbackRange& r) {
        fleet = WriteFleet(r.second());
        return std::vector<std::string>{"--fleet", fleet, "--discovery", "127.0.0.1:0", "--no-lan"};
      },
      30000);
  if (!started) {
    std::fprintf(stderr, "simulator did not start: %s\n", sim.output.c_str());
    return false;
  }
  const int second = sim.range->second();
  TimedLibrary library;
  devicelib::SetDeviceLibrary(&library);
  bool ok = true;
  {
    CDivarodDlg main;
    MainDialogInstance = &main;
    main.CreatePages();
    for (int i = 0; i < kDevices; ++i) {
      DeviceRecord r;
      char mac[18];
      std::snprintf(mac, sizeof mac, "02:ba:00:00:%02x:%02x", i >> 8, i & 0xff);
      r.mac = mac;
      r.ip = "127." + std::to_string(second) + "." + std::to_string(i / 200 + 1) + "." + std::to_string(i % 200 + 1);
      r.tcpPort = 34567;
      r.httpPort = 80;
      r.onvifPort = 80;
      std::array<uint8_t, devicelib::kLoginInfoSize> info{};
      int error = 0;
      r.loginHandle = library.SdkLogin(r.ip.c_str(), r.tcpPort, "admin", "admin", info.data(), &error, 0, 0);
      if (r.loginHandle == 0) {
        std::fprintf(stderr, "login to %s refused (%d)\n", r.ip.c_str(), error);
        ok = false;
        break;
      }
      r.loggedIn = 1;
      r.userName = "admin";
      InsertFirstByMac(main.deviceMap, r);
    }
    if (ok) {
      main.devInfoPage.FillDeviceList(main.deviceMap);
      CDlgOperate& page = main.operatePage;
      // On screen (offscreen), so every status is painted as it lands.
      page.setParent(nullptr);
      page.resize(1030, 580);
      page.LayoutPage();
      page.show();
      page.RebuildDeviceTree(page.deviceTree, main.deviceMap);
      QApplication::processEvents();
      for (int i = 0; i < page.DeviceItemCount(); ++i) page.DeviceItem(i)->setCheckState(0, Qt::Checked);
      library.insideMs = 0;
      library.calls = 0;
      const auto start = Clock::now();
      pm::SendPrivateMessage(&page, message, wParam, 0);
      const double wholeMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      int succeeded = 0;
      for (int i = 0; i < page.DeviceItemCount(); ++i) succeeded += page.DeviceItem(i)->text(0).endsWith(Text("tx.success"));
      std::printf("%-12s %d devices (%d succeeded): whole run %.1f ms, %.2f ms per device; "
                  "library calls %d taking %.1f ms, the page's own work %.2f ms per device\n",
                  name, kDevices, succeeded, wholeMs, wholeMs / kDevices, library.calls, library.insideMs,
                  (wholeMs - library.insideMs) / kDevices);
    }
    MainDialogInstance = nullptr;
  }
  devicelib::SetDeviceLibrary(nullptr);
  sim.Stop();
  std::remove(fleet.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  modal::SetAnswerer([](const modal::ModalRequest& r) { return r.kind == "tip" ? 1 : 2; });
  BatchPortsPayload ports{8080, 35000, 8554};
  const bool ok = RunOnce("reboot run", pm::WM_BATCH_REBOOT, 0) &&
                  RunOnce("port run", pm::WM_BATCH_PORTS, reinterpret_cast<pm::WPARAM>(&ports));
  modal::SetAnswerer({});
  return ok ? 0 : 1;
}
