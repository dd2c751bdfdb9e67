#pragma once

// A loop on a clock that moves only when told to: "10 ms later" is exact and
// takes no real time. For tests and simulations.

#include <cstddef>
#include <functional>

#include "platform/loop/driven_loop.h"

namespace hartdtm::loop {

class VirtualClockLoop final : public DrivenLoop {
public:
    explicit VirtualClockLoop(Milliseconds start = Milliseconds{0}) : now_(start) {}

    Milliseconds now() const override { return now_; }

    // Advances the clock by `duration`, running everything that falls due on
    // the way in time order (ties in arming order), each at its own due time,
    // and the posted calls at the time they were posted. Ends with the clock
    // at now + duration (or later, when a callback slept past it) and no work
    // due. Negative durations count as 0.
    void advance(Milliseconds duration);
    void advanceTo(Milliseconds time);

    // The same as advance(): a blocking wait of a workflow lets virtual time
    // pass and runs what falls due in between.
    void sleep(Milliseconds duration) override { advance(duration); }

    // Runs posted calls and timers that are due at the present time until
    // none is left; the clock does not move. Returns the callbacks run.
    std::size_t runUntilIdle();

    // Advances timer by timer until `done` holds or the clock would pass
    // now + limit. `done` is checked whenever the work due at one point of
    // time has run; the clock stops at the first such point where it holds,
    // else at now + limit. Returns `done()`.
    bool runUntil(const std::function<bool()>& done, Milliseconds limit);

private:
    Milliseconds now_;
};

}  // namespace hartdtm::loop
