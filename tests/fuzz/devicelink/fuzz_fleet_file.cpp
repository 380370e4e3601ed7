// Fleet files are hand-written: any text must give a fleet or an error.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/devsim/fleet_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  devsim::Fleet fleet;
  std::string error;
  (void)devsim::ParseFleet(std::string(reinterpret_cast<const char*>(data), size), fleet, error);
  return 0;
}
