#pragma once
// Millisecond tick count of the exchanges: a 32-bit counter that wraps, so
// every difference between two ticks is taken modulo 2^32.

#include <cstdint>
#include <functional>

namespace lanconfig {

using TickSource = std::function<uint32_t()>;

// Milliseconds of the monotonic clock, truncated to 32 bits.
uint32_t SteadyTickMs();

// How an exchange waits while nothing has arrived: the real one sleeps;
// tests hand in one that moves their fake tick source on instead.
using IdleWait = std::function<void(uint32_t ms)>;
void SleepMs(uint32_t ms);

// now - then, modulo 2^32: right across a wrap of the counter.
inline uint32_t TicksSince(uint32_t then, uint32_t now) { return now - then; }

}  // namespace lanconfig
