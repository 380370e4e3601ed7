#include "core/device/device_library.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace devicelib {
namespace {
std::atomic<DeviceLibrary*> g_library{nullptr};
}

void SetDeviceLibrary(DeviceLibrary* library) { g_library.store(library); }

DeviceLibrary& Lib() {
  DeviceLibrary* lib = g_library.load();
  if (!lib) {
    std::fprintf(stderr, "divarod: device library used before it was set\n");
    std::abort();
  }
  return *lib;
}

}  // namespace devicelib
