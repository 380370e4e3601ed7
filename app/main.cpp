#include <QApplication>

#include "app/divarod_app.h"
#include "app/device_library_setup.h"
#include "app/qt_translations.h"

int main(int argc, char** argv) {
  QApplication qtApp(argc, argv);  // no command line is read
  InstallQtTranslations();
  InstallDeviceLibrary();
  CDivarodApp app;
  app.InitInstance();
  return 0;
}
