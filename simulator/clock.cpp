#include "simulator/clock.h"

#include <chrono>

namespace simulator {

Clock steadyClock() {
    return [] {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::int64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    };
}

Clock frozenClock() {
    return [] { return std::int64_t{0}; };
}

}  // namespace simulator
