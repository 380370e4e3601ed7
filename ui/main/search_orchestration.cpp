// Where every search begins, timer 101, and the settings messages the
// settings dialog sends the main window.
#include <algorithm>

#include "core/device/device_library.h"
#include "ui/main/main_config.h"
#include "core/language/language.h"
#include "ui/main/divarod_dlg.h"

namespace {
constexpr int kMinuteMs = 60000;
}  // namespace

pm::LRESULT CDivarodDlg::OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) {
  switch (message) {
    case pm::WM_LANGUAGE_CHANGED:
      return OnLanguageChanged(wParam, lParam);
    case pm::WM_DEVINFO_MASK_CHANGED:
      return OnDevInfoMaskChanged(wParam, lParam);
    case pm::WM_REQUEST_SEARCH:
      return OnRequestSearch(wParam, lParam);
    case pm::WM_SEARCH_SETTINGS_CHANGED:
      return OnSearchSettingsChanged(wParam, lParam);
    default:
      return 0;
  }
}

// A request that arrives while a search runs is dropped: the running search
// delivers a fresh view anyway. One that finds device work under way is
// dropped too, as the search command drops a timer's request then. The
// period of timer 101 restarts all the same.
void CDivarodDlg::OnSearch() {
  if (searching.load() || devInfoPage.DeviceWorkRunning()) return;
  LogoutAllDevices();
  deviceMap.clear();
  searchResultCount = 0;
  // The pages' rows and tree items point into the map just emptied. They are
  // told at once, not by a queued notice, so that no click, sort or repaint
  // queued before the notice reaches a record that is gone.
  pm::SendPrivateMessage(searchNoticeDevicePage, pm::WM_SEARCH_STARTED);
  pm::SendPrivateMessage(searchNoticeBatchPage, pm::WM_SEARCH_STARTED);
  if (searchThread_.joinable()) searchThread_.join();  // the last worker has ended: its flag is clear
  searching = true;  // set here too, so that no request slips in before the worker runs
  searchThread_ = std::thread([this] { SearchThreadProc(); });
}

void CDivarodDlg::LogoutAllDevices() {
  for (const auto& [mac, record] : deviceMap)
    if (record.loggedIn == 1) devicelib::Lib().SdkLogout(record.loginHandle);
  while (!retiredLoginHandles.empty()) {
    devicelib::Lib().SdkLogout(retiredLoginHandles.front());
    retiredLoginHandles.pop_front();
  }
}

pm::LRESULT CDivarodDlg::OnRequestSearch(pm::WPARAM, pm::LPARAM) {
  periodicSearchTimer_.stop();
  OnSearch();
  RestartPeriodicSearchTimer();
  return 1;
}

void CDivarodDlg::RestartPeriodicSearchTimer() {
  periodicSearchTimer_.stop();
  if (!config.periodicSearch) return;
  // A period of 0 is raised to the shortest one the platform's timers allow.
  const long long ms = static_cast<long long>(config.searchMinutes) * kMinuteMs;
  periodicSearchTimer_.start(static_cast<int>(std::clamp<long long>(ms, 10, 0x7FFFFFFF)));
}

void CDivarodDlg::OnTimer(int timerId) {
  if (timerId != kPeriodicSearchTimer) return;
  devInfoPage.searchFromTimer = 1;
  devInfoPage.RequestSearch();
}

pm::LRESULT CDivarodDlg::OnLanguageChanged(pm::WPARAM index, pm::LPARAM lParam) {
  config.languageIndex = static_cast<int>(index);
  ApplyLanguage(config.languageIndex);
  pm::PostPrivateMessage(&menuPage, pm::WM_LANGUAGE_CHANGED, index, lParam);
  pm::PostPrivateMessage(&devInfoPage, pm::WM_LANGUAGE_CHANGED, index, lParam);
  pm::PostPrivateMessage(&operatePage, pm::WM_LANGUAGE_CHANGED, index, lParam);
  pm::PostPrivateMessage(&capacityPage, pm::WM_LANGUAGE_CHANGED, index, lParam);
  pm::PostPrivateMessage(&settingDialog, pm::WM_LANGUAGE_CHANGED, index, lParam);
  return 1;
}

void CDivarodDlg::ApplyLanguage(int index) {
  if (index < 0 || index >= kLanguageCount) return;
  SwitchLanguage(index, config.programFolder);
  WriteLanguageSetting(config, index);
}

pm::LRESULT CDivarodDlg::OnDevInfoMaskChanged(pm::WPARAM mask, pm::LPARAM) {
  config.columnMask = static_cast<int>(mask);
  WriteDevInfoMask(config, config.columnMask);
  return 1;
}

pm::LRESULT CDivarodDlg::OnSearchSettingsChanged(pm::WPARAM payload, pm::LPARAM) {
  const auto* settings = reinterpret_cast<const SearchSettingsPayload*>(payload);
  if (!settings) return 1;
  config.periodicSearch = settings->enabled != 0;
  config.searchMinutes = settings->minutes;
  RestartPeriodicSearchTimer();
  WriteSearchSettings(config, config.periodicSearch, config.searchMinutes);
  return 1;
}
