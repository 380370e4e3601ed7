#pragma once
// The message a window manager sends a window for Alt+F4 or its close
// button (WM_PROTOCOLS / WM_DELETE_WINDOW), sent through the X server of
// `display`. Apart from the test's Qt headers: Xlib's macros clash with them.

#include <string>

bool SendDeleteWindow(const std::string& display, unsigned long window);
