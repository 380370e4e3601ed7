#pragma once
// The device list page as the main window hosts it (see PageWindowTest), its
// LAN datagrams kept on loopback.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <functional>
#include <vector>

#include "tests/ui/support/page_window_fixture.h"
#include "ui/devicelist/device_columns.h"
#include "ui/devicelist/dlg_dev_info.h"

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

class DevicePageTest : public PageWindowTest {
 protected:
  void SetUp() override {
    ResetDeviceSortStates();
    PageWindowTest::SetUp();
    page = &Main().devInfoPage;
    // Nothing a page test does may leave this machine.
    page->lanEndpoints.sendBindIp = "127.0.0.1";
    page->lanEndpoints.sendBindPort = 0;
    page->lanEndpoints.targetIp = "127.0.0.1";
    page->lanEndpoints.targetPort = 9;  // discard; tests that talk to a responder set their own
    page->lanEndpoints.receiveBindIp = "127.0.0.1";
    page->lanEndpoints.receivePort = 0;
  }

  // What a finished search leaves: the map and the count, then the notice.
  void FinishSearch(const std::vector<DeviceRecord>& records) {
    Main().deviceMap.clear();
    for (const DeviceRecord& r : records) InsertFirstByMac(Main().deviceMap, r);
    Main().searchResultCount = static_cast<int>(records.size());
    pm::SendPrivateMessage(page, pm::WM_SEARCH_FINISHED);
  }

  QStringList Column(int column) const {
    QStringList texts;
    for (int row = 0; row < page->RowCount(); ++row) texts << page->CellText(row, column);
    return texts;
  }

  // Runs the UI thread's queue until done() or the time is up.
  static bool ProcessUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
  }

  CDlgDevInfo* page = nullptr;
};

}  // namespace devlist_test
