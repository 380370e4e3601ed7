#include "app/device_library_setup.h"

#include "core/device/device_library.h"
#include "libs/devicelink/devicelink.h"

void InstallDeviceLibrary() {
  static devicelink::DeviceLinkLibrary library;
  devicelib::SetDeviceLibrary(&library);
}
