#pragma once
// What the settings dialog hands the main window, by address, with
// WM_SEARCH_SETTINGS_CHANGED: the periodic search switched on or off and its
// period. The dialog keeps the copy it sends, so the address stays valid.

#include <cstdint>

struct SearchSettingsPayload {
  int32_t enabled = 0;  // 0 or 1
  int32_t minutes = 0;
};
