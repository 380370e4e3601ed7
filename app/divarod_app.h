#pragma once
// The application object: guards against a second instance, starts the
// socket layer and runs the main window as the one modal window.

class CDivarodApp {
 public:
  // Always false: the program ends when the main window closes.
  bool InitInstance();
};
