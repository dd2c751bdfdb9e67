// Test module: reaches the current loop from its own copy of the library.

#include "platform/loop/event_loop.h"

#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

PROBE_EXPORT hartdtm::loop::EventLoop* probeCurrentLoop() {
    return hartdtm::loop::currentLoop();
}

// Arms a timer on the current loop with a callback made in this module; the
// callback increments *counter.
PROBE_EXPORT bool probeArm(unsigned id, long delayMs, int* counter) {
    auto* loop = hartdtm::loop::currentLoop();
    return loop &&
           loop->arm(counter, id, hartdtm::loop::Milliseconds{delayMs}, [counter] { ++*counter; });
}
