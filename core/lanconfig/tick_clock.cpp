#include "core/lanconfig/tick_clock.h"

#include <chrono>
#include <thread>

namespace lanconfig {

uint32_t SteadyTickMs() {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<uint32_t>(ms.count());
}

void SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace lanconfig
