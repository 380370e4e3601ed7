#pragma once
// The payload of WM_SEARCH_SETTINGS_CHANGED belongs to its sender, the
// settings dialog; the main window reads it.
#include "ui/tools/search_settings_payload.h"
