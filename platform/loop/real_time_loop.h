#pragma once

// A loop on the steady clock for headless programs. Single thread, no
// wake-up from other threads: between dispatches it waits until the next due
// time or the caller's deadline, through a replaceable wait function (a
// transport that polls file descriptors installs its own and returns early
// when input arrived).

#include <chrono>
#include <functional>

#include "platform/loop/driven_loop.h"

namespace hartdtm::loop {

class RealTimeLoop final : public DrivenLoop {
public:
    // Waits at most the given time; may return earlier.
    using IdleWait = std::function<void(Milliseconds)>;

    RealTimeLoop();

    // Milliseconds of the steady clock since the loop was created.
    Milliseconds now() const override;

    // Really waits `duration`, dispatching due work meanwhile.
    void sleep(Milliseconds duration) override;

    // Dispatches due work and waits until `done` holds or `timeout` has
    // passed; `done` is checked after every dispatch. Returns `done()`.
    bool runUntil(const std::function<bool()>& done, Milliseconds timeout);

    // Replaces the wait between dispatches; an empty function restores the
    // plain sleep of the calling thread.
    void setIdleWait(IdleWait wait);

private:
    void waitUntil(Milliseconds deadline);

    std::chrono::steady_clock::time_point start_;
    IdleWait idleWait_;
};

}  // namespace hartdtm::loop
