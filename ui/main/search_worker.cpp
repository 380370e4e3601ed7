// One search of the local network, on its own worker thread: discovery into
// the buffer, records into a map of the worker's own, customer filter; then
// the map handed to the UI thread with the finish notices.
#include <algorithm>
#include <span>

#include "core/device/device_library.h"
#include "core/device/sdk_device_info.h"
#include "core/language/language.h"
#include "core/util/text_conversion.h"
#include "ui/main/customer_filter.h"
#include "ui/main/divarod_dlg.h"
#include "ui/controls/dlg_tip.h"
#include "ui/framework/thread_handover.h"

namespace {

constexpr int kSearchMode = 2;
constexpr int kSearchTimeoutMs = 3000;

// The language text's one integer directive takes the value. The text is data
// beside the program, so it is never handed to a printf-style formatter.
QString FormatWithInteger(const QString& format, int value) {
  QString out = format;
  const qsizetype at = out.indexOf(QStringLiteral("%d"));
  if (at >= 0) out.replace(at, 2, QString::number(value));
  return out;
}

}  // namespace

// The worker fills a map of its own: the main window's map belongs to the UI
// thread, which hands it to the pages and their commands at any time (FIND
// and ALL are never refused). The records reach it with the finish notices.
int CDivarodDlg::SearchThreadProc() {
  searching = true;
  std::fill(searchBuffer.begin(), searchBuffer.end(), uint8_t{0});

  int count = 0;
  const int result = devicelib::Lib().SDK_SearchDevices_v1_v3_MultiEth(
      searchBuffer.data(), static_cast<int>(searchBuffer.size()), &count, kSearchMode, kSearchTimeoutMs);
  DeviceMap found;
  const bool failed = result == 0 || count <= 0;
  if (failed) {
    // Texts from this thread's own language object; the box itself runs on
    // the UI thread while this worker waits for it to close.
    ShowTipBox(FormatWithInteger(Text("info.search_failed_d"), result), Text("msg.Msg"), false, true,
               CDlgTip::kIconError);
    count = 0;
  } else {
    // A library that reports more records than the buffer holds is read only
    // as far as the buffer goes.
    count = std::min(count, static_cast<int>(sdkinfo::kSearchBufferRecords));
    for (int i = 0; i < count; ++i) {
      const std::span<const uint8_t> raw(searchBuffer.data() + static_cast<std::size_t>(i) * sdkinfo::kRecordSize,
                                         sdkinfo::kRecordSize);
      InsertFirstByMac(found, sdkinfo::ReadRecord(raw));
    }
    FilterDevicesByCustomer(found);
  }
  handover::CallAndWait(Mailbox(), [&] { TakeSearchResult(std::move(found), count); });
  return failed ? 0 : 1;
}

void CDivarodDlg::TakeSearchResult(DeviceMap found, int count) {
  // The map has been empty since the search started, and no row or item
  // points into it.
  deviceMap = std::move(found);
  searchResultCount = count;
  UpdateDeviceCount();
  searching = false;
}

int CDivarodDlg::FilterDevicesByCustomer(DeviceMap& map) {
  const QString configured = QString::fromLocal8Bit(config.customerCode.c_str());  // the ANSI code page
  for (auto it = map.begin(); it != map.end();) {
    QString deviceCode;
    Utf8ToCString(deviceCode, it->second.customerCode);
    if (CustomerCodeKeepsDevice(configured, deviceCode))
      ++it;
    else
      it = map.erase(it);
  }
  return 1;
}

int CDivarodDlg::UpdateDeviceCount() {
  if (currentPageIndex.load() == kBatchPageIndex) {
    pm::SendPrivateMessage(searchNoticeBatchPage, pm::WM_SEARCH_FINISHED);
    pm::PostPrivateMessage(searchNoticeDevicePage, pm::WM_SEARCH_FINISHED);
  } else {
    pm::SendPrivateMessage(searchNoticeDevicePage, pm::WM_SEARCH_FINISHED);
    pm::PostPrivateMessage(searchNoticeBatchPage, pm::WM_SEARCH_FINISHED);
  }
  return 1;
}
