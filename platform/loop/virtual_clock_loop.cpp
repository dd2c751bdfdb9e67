#include "platform/loop/virtual_clock_loop.h"

#include <algorithm>

namespace hartdtm::loop {

std::size_t VirtualClockLoop::runUntilIdle() {
    std::size_t ran = 0;
    for (;;) {
        const auto due = nextDueTime();
        if (!due || *due > now_) return ran;
        ran += dispatchDue();
    }
}

void VirtualClockLoop::advance(Milliseconds duration) {
    advanceTo(now_ + std::max(duration, Milliseconds{0}));
}

void VirtualClockLoop::advanceTo(Milliseconds time) {
    runUntil([] { return false; }, time - now_);
}

bool VirtualClockLoop::runUntil(const std::function<bool()>& done, Milliseconds limit) {
    const auto target = now_ + std::max(limit, Milliseconds{0});
    for (;;) {
        runUntilIdle();
        if (done()) return true;
        const auto due = nextDueTime();
        if (!due || *due > target) break;
        // A callback may have slept past the next due time; time never runs back.
        now_ = std::max(now_, *due);
    }
    now_ = std::max(now_, target);
    runUntilIdle();
    return done();
}

}  // namespace hartdtm::loop
