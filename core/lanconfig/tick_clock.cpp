#include "core/lanconfig/tick_clock.h"

#include <chrono>

namespace lanconfig {

uint32_t SteadyTickMs() {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<uint32_t>(ms.count());
}

}  // namespace lanconfig
