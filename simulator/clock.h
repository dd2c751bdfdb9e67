#pragma once

#include <cstdint>
#include <functional>

namespace simulator {

// Milliseconds on a monotonic scale; only differences between two readings
// matter. The simulator never reads the time by itself: every moving value is
// driven by the clock it was given, so tests pass a fake one.
using Clock = std::function<std::int64_t()>;

// The process's monotonic clock (std::chrono::steady_clock), for real frames.
Clock steadyClock();

// A clock that always reads 0: nothing moves over time.
Clock frozenClock();

}  // namespace simulator
