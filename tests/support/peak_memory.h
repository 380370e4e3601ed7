#pragma once
// This process's peak resident memory (the kernel's VmHWM), and a reset of
// it, so that a test reads the peak of what it did itself.

#include <malloc.h>

#include <cstdint>
#include <fstream>
#include <string>

namespace testsupport {

// False when the kernel does not offer the reset. Memory the allocator
// still keeps of what was freed goes back to the kernel first, so that what
// a test allocates anew shows as growth.
inline bool ResetPeakResident() {
  malloc_trim(0);
  std::ofstream out("/proc/self/clear_refs");
  out << "5";
  out.flush();
  return static_cast<bool>(out);
}

inline int64_t PeakResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      int64_t kib = 0;
      status >> kib;
      return kib;
    }
    status.ignore(1 << 16, '\n');
  }
  return -1;
}

}  // namespace testsupport
