#include "tests/ui/mainwindow/main_window_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <span>

#include "core/device/sdk_device_info.h"
#include "core/ini/private_profile.h"

bool WaitUntil(const std::function<bool()>& pred, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!pred()) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return true;
}

DeviceRecord Device(const std::string& mac, const std::string& ip, const std::string& customer) {
  DeviceRecord r;
  r.mac = mac;
  r.ip = ip;
  r.customerCode = customer;
  r.tcpPort = 34567;
  r.httpPort = 80;
  return r;
}

pm::LRESULT RecordingPage::OnPrivateMessage(unsigned message, pm::WPARAM, pm::LPARAM) {
  bool waited = false;
  if (message == pm::WM_SEARCH_FINISHED && probeWorkerWaiting) {
    // A worker that posted goes on and ends its search at once; one that
    // sent is blocked until this handler returns.
    QElapsedTimer clock;
    clock.start();
    while (dlg_->searching.load() && clock.elapsed() < 1500) QThread::msleep(5);
    waited = dlg_->searching.load();
  }
  received.push_back({message, dlg_->deviceMap.size(), waited});
  return 1;
}

void MainWindowTest::SetUp() {
  QDir().mkpath(folder.path() + "/Config File/Config");
  QDir().mkpath(folder.path() + "/Config File/Lang");
  QDir().mkpath(folder.path() + "/Config File/Skin");
  WriteConfig("[SETTING]\r\nApp_Name=Divarod Test\r\n[LANGUAGE_CFG]\r\nDefault=English\r\n");
  modal::SetAnswerer([this](const modal::ModalRequest& r) {
    {
      std::lock_guard lock(modalMutex);
      modals.push_back(r);
    }
    return answer(r);
  });
}

void MainWindowTest::TearDown() {
  ReleaseSearch();
  dlg.reset();
  MainDialogInstance = nullptr;
  modal::SetAnswerer({});
}

void MainWindowTest::WriteConfig(const QByteArray& text) {
  QFile f(folder.path() + "/Config File/Config/Config.ini");
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(text);
}

QString MainWindowTest::ReadConfigValue(const QString& section, const QString& key) const {
  QString value;
  ini::GetPrivateProfileString(section, key, "<missing>", value, 1500,
                               folder.path() + "/Config File/Config/Config.ini");
  return value;
}

void MainWindowTest::ShowWindow() {
  dlg = std::make_unique<CDivarodDlg>();
  MainDialogInstance = dlg.get();
  dlg->config.programFolder = folder.path() + "/";
  dlg->show();
  QCoreApplication::processEvents();
  ASSERT_TRUE(WaitUntil([&] { return !dlg->searching.load(); }));
  QCoreApplication::processEvents();
  fake.ClearCalls();
  std::lock_guard lock(modalMutex);
  modals.clear();
}

void MainWindowTest::RecordSearchNotices() {
  devicePage = std::make_unique<RecordingPage>(dlg.get());
  batchPage = std::make_unique<RecordingPage>(dlg.get());
  dlg->searchNoticeDevicePage = devicePage.get();
  dlg->searchNoticeBatchPage = batchPage.get();
}

void MainWindowTest::RunSearch() {
  const int before = fake.CountOf("SDK_SearchDevices_v1_v3_MultiEth");
  pm::PostPrivateMessage(dlg.get(), pm::WM_REQUEST_SEARCH);
  ASSERT_TRUE(WaitUntil([&] { return fake.CountOf("SDK_SearchDevices_v1_v3_MultiEth") > before; }));
  ASSERT_TRUE(WaitUntil([&] { return !dlg->searching.load(); }));
  QCoreApplication::processEvents();  // the posted notice
}

void MainWindowTest::HoldNextSearch() {
  {
    std::lock_guard lock(holdMutex);
    held = true;
  }
  fake.onSearch = [this](uint8_t* buffer, int size, int* count, int, int) {
    holding = true;
    std::unique_lock lock(holdMutex);
    holdCv.wait(lock, [&] { return !held; });
    holding = false;
    const std::size_t n = std::min<std::size_t>(fake.searchRecords.size(), size / sdkinfo::kRecordSize);
    for (std::size_t i = 0; i < n; ++i)
      sdkinfo::WriteRecord(fake.searchRecords[i],
                           std::span<uint8_t>(buffer + i * sdkinfo::kRecordSize, sdkinfo::kRecordSize));
    *count = static_cast<int>(n);
    return fake.searchResult;
  };
}

void MainWindowTest::ReleaseSearch() {
  {
    std::lock_guard lock(holdMutex);
    held = false;
  }
  holdCv.notify_all();
}

std::vector<modal::ModalRequest> MainWindowTest::Tips() const {
  std::lock_guard lock(modalMutex);
  std::vector<modal::ModalRequest> out;
  for (const auto& m : modals)
    if (m.kind == "tip") out.push_back(m);
  return out;
}
