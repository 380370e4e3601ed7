// The device map belongs to the UI thread: FIND and ALL on both pages while a
// search runs read no record the search worker is writing, and after the
// search every row and tree item points at a record of the map.
#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <span>

#include "core/device/sdk_device_info.h"
#include "tests/ui/mainwindow/main_window_fixture.h"

namespace {

constexpr int kDevices = 64;

// Half the fleet carries another customer's code, which the search's filter
// drops after the records went in.
std::vector<DeviceRecord> Fleet() {
  std::vector<DeviceRecord> fleet;
  for (int i = 0; i < kDevices; ++i) {
    char mac[32];
    std::snprintf(mac, sizeof mac, "00:00:00:00:01:%02x", i);
    fleet.push_back(Device(mac, "10.0.0." + std::to_string(i + 1), i % 2 ? "C0000" : "C9999"));
  }
  return fleet;
}

class DeviceMapOwnerTest : public MainWindowTest {
 protected:
  // A discovery that answers after a short while and says, without ordering
  // anything between the threads, that it has answered.
  void AnswerAfterAWhile() {
    fake.searchRecords = Fleet();
    fake.onSearch = [this](uint8_t* buffer, int size, int* count, int, int) {
      QThread::msleep(30);
      const std::size_t n = std::min<std::size_t>(fake.searchRecords.size(), size / sdkinfo::kRecordSize);
      for (std::size_t i = 0; i < n; ++i)
        sdkinfo::WriteRecord(fake.searchRecords[i],
                             std::span<uint8_t>(buffer + i * sdkinfo::kRecordSize, sdkinfo::kRecordSize));
      *count = static_cast<int>(n);
      answered.store(true, std::memory_order_relaxed);
      return 1;
    };
  }

  // Spins (without serving the UI queue, so the search cannot end meanwhile)
  // until the discovery has answered and the worker had time to fill and
  // filter its records.
  void WaitForTheWorkerToFill() {
    for (int i = 0; i < 5000 && !answered.load(std::memory_order_relaxed); ++i) QThread::msleep(1);
    ASSERT_TRUE(answered.load(std::memory_order_relaxed));
    QThread::msleep(50);
  }

  std::atomic<bool> answered{false};
};

TEST_F(DeviceMapOwnerTest, FindAndAllOnBothPagesWhileASearchRuns) {
  ShowWindow();
  AnswerAfterAWhile();
  CDlgDevInfo& list = dlg->devInfoPage;
  CDlgOperate& batch = dlg->operatePage;
  list.filterEdit.setText("10.0.0.1");
  batch.findEdit.setText("10.0.0.1");

  pm::PostPrivateMessage(dlg.get(), pm::WM_REQUEST_SEARCH);
  QCoreApplication::processEvents();  // the request: the worker starts
  ASSERT_TRUE(dlg->searching.load());
  WaitForTheWorkerToFill();

  // The user presses FIND and ALL on both pages before the search has ended.
  list.findButton.click();
  list.allButton.click();
  batch.findButton.click();
  batch.allButton.click();
  list.findButton.click();

  ASSERT_TRUE(WaitUntil([&] { return !dlg->searching.load(); }));
  QCoreApplication::processEvents();  // the notice posted to the hidden page

  ASSERT_EQ(dlg->deviceMap.size(), static_cast<std::size_t>(kDevices / 2));
  ASSERT_EQ(list.RowCount(), kDevices / 2);
  for (int row = 0; row < list.RowCount(); ++row) {
    const DeviceRecord* record = list.RecordAt(row);
    ASSERT_TRUE(record);
    const auto it = dlg->deviceMap.find(record->mac);
    ASSERT_TRUE(it != dlg->deviceMap.end());
    EXPECT_EQ(&it->second, record);
  }
  ASSERT_EQ(batch.DeviceItemCount(), kDevices / 2);
  for (int i = 0; i < batch.DeviceItemCount(); ++i) {
    const DeviceRecord* record = CDlgOperate::RecordOfItem(batch.DeviceItem(i));
    ASSERT_TRUE(record);
    EXPECT_EQ(&dlg->deviceMap.at(record->mac), record);
  }
}

}  // namespace
