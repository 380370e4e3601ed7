#pragma once
// Happens-before marks for hand-overs that go through Qt's event queue.
//
// Qt orders posted events with its own locks, which the thread sanitizer
// cannot see (Qt is not built with it). A thread that posts an event of ours
// marks it with Release(token) after it has written what the event carries;
// the receiving thread marks it with Acquire(token) before it reads the event
// at all. The marks compile to nothing outside the sanitizer flavour.

#if defined(DIVAROD_TSAN)
#include <sanitizer/tsan_interface.h>
#endif

namespace thread_marks {

inline void Release([[maybe_unused]] const void* token) {
#if defined(DIVAROD_TSAN)
  __tsan_release(const_cast<void*>(token));
#endif
}

inline void Acquire([[maybe_unused]] const void* token) {
#if defined(DIVAROD_TSAN)
  __tsan_acquire(const_cast<void*>(token));
#endif
}

}  // namespace thread_marks
