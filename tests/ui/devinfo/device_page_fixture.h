#pragma once
// A main window with its pages, not shown, over the fake device library: the
// device list page as the main window hosts it. Every modal window is
// answered in the user's place and remembered.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "tests/support/fake_device_library.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/device_columns.h"
#include "ui/main/divarod_dlg.h"
#include "ui/main/dlg_dev_info.h"

namespace devlist_test {

inline DeviceRecord MakeDevice(const std::string& mac, const std::string& ip) {
  DeviceRecord r;
  r.valid = true;
  r.mac = mac;
  r.ip = ip;
  r.netmask = "255.255.255.0";
  r.gateway = ip.substr(0, ip.rfind('.')) + ".1";
  r.httpPort = 80;
  r.tcpPort = 34567;
  r.onvifPort = 80;
  r.onvifCapable = 1;
  r.type = "IPC";
  r.model = "-- --";
  r.version = "V4.2.1";
  r.dhcpMode = 2;
  return r;
}

class DevicePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDeviceSortStates();
    main_ = std::make_unique<CDivarodDlg>();
    MainDialogInstance = main_.get();
    main_->CreatePages();
    page = &main_->devInfoPage;
    // Nothing a page test does may leave this machine.
    page->lanEndpoints.sendBindIp = "127.0.0.1";
    page->lanEndpoints.sendBindPort = 0;
    page->lanEndpoints.targetIp = "127.0.0.1";
    page->lanEndpoints.targetPort = 9;  // discard; tests that talk to a responder set their own
    page->lanEndpoints.receiveBindIp = "127.0.0.1";
    page->lanEndpoints.receivePort = 0;
    modal::SetAnswerer([this](const modal::ModalRequest& request) {
      shown.push_back(request);
      if (answer) return answer(request);
      return request.kind == "tip" ? 1 : 2;
    });
  }

  void TearDown() override {
    modal::SetAnswerer({});
    main_.reset();
    MainDialogInstance = nullptr;
  }

  // What a finished search leaves: the map and the count, then the notice.
  void FinishSearch(const std::vector<DeviceRecord>& records) {
    main_->deviceMap.clear();
    for (const DeviceRecord& r : records) InsertFirstByMac(main_->deviceMap, r);
    main_->searchResultCount = static_cast<int>(records.size());
    pm::SendPrivateMessage(page, pm::WM_SEARCH_FINISHED);
  }

  QStringList Column(int column) const {
    QStringList texts;
    for (int row = 0; row < page->RowCount(); ++row) texts << page->CellText(row, column);
    return texts;
  }

  QStringList Shown(const QString& kind = "tip") const {
    QStringList texts;
    for (const modal::ModalRequest& r : shown)
      if (r.kind == kind) texts << r.text;
    return texts;
  }

  // Runs the UI thread's queue until done() or the time is up.
  static bool ProcessUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
  }

  CDivarodDlg& Main() { return *main_; }

  ScopedFakeDeviceLibrary library;
  CDlgDevInfo* page = nullptr;
  std::vector<modal::ModalRequest> shown;
  std::function<int(const modal::ModalRequest&)> answer;

 private:
  std::unique_ptr<CDivarodDlg> main_;
};

}  // namespace devlist_test
