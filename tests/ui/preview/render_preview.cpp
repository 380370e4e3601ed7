// Renders the preview window with a live picture from an in-process
// simulator on loopback, offscreen, for a person to look at:
// render_preview <folder>. Main stream, sub stream, maximised, wrong password.
#include <QApplication>
#include <memory>
#include <optional>
#include <string>

#include "libs/liveview/network_live_view.h"
#include "tests/support/fake_device_library.h"
#include "tests/support/loopback_range.h"
#include "tests/unit/devicelink/loopback_simulator.h"
#include "tools/devsim/simulator.h"
#include "tests/ui/controls/render_program.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/divarod_dlg.h"
#include "ui/devicelist/dlg_preview.h"
#include "ui/main/open_device_preview.h"

namespace {

// Serves the queue until the view painted `count` pictures (at most 10 s).
bool WaitForPictures(int handle, uint64_t count) {
  return RenderProgram::ServeUntil(
      [&] { return liveview::NetworkLibrary().Statistics(handle).framesPainted >= count; }, 10000);
}

}  // namespace

int main(int argc, char** argv) {
  RenderProgram run(argc, argv);

  std::string cameraIp;
  std::optional<testsupport::LoopbackRange> range;  // held while the simulator lives
  std::unique_ptr<devsim::Simulator> sim;
  std::string error;
  range = simtest::OpenSimulatorOnLoopbackRange(
      [&](const testsupport::LoopbackRange& r) {
        devsim::Fleet fleet;
        devsim::DeviceProfile camera;
        camera.section = "lobby-dome";
        camera.mac = "00:1c:27:a0:00:01";
        camera.ip = cameraIp = r.Prefix() + "1.21";
        camera.users = {{"admin", "admin123"}};
        fleet.devices.push_back(camera);
        return fleet;
      },
      sim, error);
  if (!range) {
    std::fprintf(stderr, "render_preview: %s\n", error.c_str());
    return 1;
  }
  sim->StartThread();

  ScopedFakeDeviceLibrary library;
  modal::SetAnswerer([](const modal::ModalRequest&) { return 2; });
  CDivarodDlg main;
  MainDialogInstance = &main;
  main.show();
  main.setGeometry(0, 0, 1090, 700);

  struct Shot {
    const char* file;
    const char* password;
    int kind;
    bool maximise;
  } shots[] = {{"preview_main.png", "admin123", CDlgPreview::kStreamMain, false},
               {"preview_sub.png", "admin123", CDlgPreview::kStreamSub, false},
               {"preview_maximised.png", "admin123", CDlgPreview::kStreamMain, true},
               {"preview_wrong_password.png", "nope", CDlgPreview::kStreamMain, false}};
  int status = 0;
  for (const auto& shot : shots) {
    modal::SetAnswerer([&](const modal::ModalRequest& r) {
      if (r.kind != "preview") return 2;
      auto* preview = static_cast<CDlgPreview*>(r.dialog);
      preview->show();
      if (shot.maximise) preview->ToggleMaximize();
      const bool live = std::string(shot.password) == "admin123";
      if (live && !WaitForPictures(preview->viewHandle, 10)) status = 1;
      QApplication::processEvents();
      run.Save(*preview, shot.file);
      return 1;
    });
    OpenDevicePreview(QString::fromStdString(cameraIp), "admin", shot.password, 34567, shot.kind);
  }
  modal::SetAnswerer({});
  MainDialogInstance = nullptr;
  sim->Quit();
  return status;
}
