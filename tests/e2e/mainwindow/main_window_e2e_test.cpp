// The main window with the real device library finds the demo fleet that the
// simulator plays, inside the private network namespace: discovery goes out
// as it does on a real LAN (every interface and 255.255.255.255).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <map>
#include <set>

#include "core/device/device_library.h"
#include "libs/devicelink/devicelink.h"
#include "tests/support/private_network.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/divarod_dlg.h"

namespace {

struct FleetDevice {
  std::string ip;
  std::string customer;
};

// mac -> device, from the fleet file's sections.
std::map<std::string, FleetDevice> ReadFleet(const QString& path) {
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  std::map<std::string, FleetDevice> fleet;
  std::string mac;
  FleetDevice device;
  auto flush = [&] {
    if (!mac.empty()) fleet[mac] = device;
    mac.clear();
    device = {};
  };
  for (const QByteArray& raw : f.readAll().split('\n')) {
    const QByteArray line = raw.trimmed();
    if (line.startsWith('[')) flush();
    const qsizetype eq = line.indexOf('=');
    if (line.startsWith(';') || eq < 0) continue;
    const std::string key = line.left(eq).trimmed().toStdString();
    const std::string value = line.mid(eq + 1).trimmed().toStdString();
    if (key == "mac") mac = value;
    if (key == "ip") device.ip = value;
    if (key == "customer") device.customer = value;
  }
  flush();
  return fleet;
}

bool WaitUntil(const std::function<bool()>& pred, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!pred()) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return true;
}

TEST(MainWindowE2e, FindsTheDemoFleet) {
  DIVAROD_REQUIRE_PRIVATE_NETWORK();
  qunsetenv("DIVAROD_DISCOVERY_TARGETS");  // the production discovery, inside the namespace only

  const auto fleet = ReadFleet(DEMO_FLEET);
  ASSERT_EQ(fleet.size(), 16u);
  // The devices' addresses live on the namespace's second veth end.
  for (const auto& [mac, device] : fleet)
    ASSERT_EQ(QProcess::execute("ip", {"addr", "add", QString::fromStdString(device.ip) + "/32", "dev", "dvr1"}),
              0);

  QProcess sim;
  sim.setProcessChannelMode(QProcess::MergedChannels);
  sim.start(DEVSIM_BIN, {"--fleet", DEMO_FLEET});
  ASSERT_TRUE(sim.waitForStarted(5000));
  QByteArray simOutput;
  ASSERT_TRUE(WaitUntil(
      [&] {
        sim.waitForReadyRead(50);
        simOutput += sim.readAll();
        return simOutput.contains("devsim ready");
      },
      10000))
      << simOutput.toStdString();

  // A program folder of its own with the shipped configuration.
  QTemporaryDir folder;
  const QString shipped = QCoreApplication::applicationDirPath() + "/Config File";
  ASSERT_EQ(QProcess::execute("cp", {"-r", shipped, folder.path() + "/"}), 0);

  std::vector<modal::ModalRequest> modals;
  modal::SetAnswerer([&](const modal::ModalRequest& r) {
    modals.push_back(r);
    return 1;
  });
  devicelink::DeviceLinkLibrary library;
  devicelib::SetDeviceLibrary(&library);
  {
    CDivarodDlg dlg;
    MainDialogInstance = &dlg;
    dlg.config.programFolder = folder.path() + "/";
    dlg.show();
    // The first search starts by itself once the window runs; ask once more
    // when the page did not (the request is dropped while one runs).
    QThread::msleep(200);
    QCoreApplication::processEvents();
    if (!dlg.searching.load()) pm::PostPrivateMessage(&dlg, pm::WM_REQUEST_SEARCH);
    ASSERT_TRUE(WaitUntil([&] { return dlg.searching.load(); }, 5000));
    ASSERT_TRUE(WaitUntil([&] { return !dlg.searching.load(); }, 15000));
    QCoreApplication::processEvents();

    // The shipped customer code is C0000, which admits every device: all
    // sixteen of the demo fleet, whatever their own codes (C0000, C2718).
    EXPECT_EQ(dlg.config.customerCode, "C0000");
    std::set<std::string> expected, customers;
    for (const auto& [mac, device] : fleet) {
      expected.insert(mac);
      customers.insert(device.customer);
    }
    ASSERT_EQ(expected.size(), 16u);
    EXPECT_EQ(customers, (std::set<std::string>{"C0000", "C2718"}));
    std::set<std::string> found;
    for (const auto& [mac, record] : dlg.deviceMap) {
      found.insert(mac);
      EXPECT_EQ(record.ip, fleet.at(mac).ip) << mac;
    }
    EXPECT_EQ(found, expected);
    EXPECT_EQ(dlg.searchResultCount, 16);
    for (const auto& m : modals) ADD_FAILURE() << "unexpected window: " << m.kind.toStdString() << " "
                                               << m.text.toStdString();

    const QByteArray shots = qgetenv("DIVAROD_SCREENSHOT_DIR");
    if (!shots.isEmpty()) dlg.grab().save(QString::fromLocal8Bit(shots) + "/main-window-demo-fleet.png");
    MainDialogInstance = nullptr;
  }
  devicelib::SetDeviceLibrary(nullptr);
  modal::SetAnswerer({});
  sim.terminate();
  sim.waitForFinished(5000);
}

}  // namespace
