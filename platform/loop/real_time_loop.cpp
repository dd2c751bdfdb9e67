#include "platform/loop/real_time_loop.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace hartdtm::loop {

namespace {

void sleepThread(Milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

}  // namespace

RealTimeLoop::RealTimeLoop() : start_(std::chrono::steady_clock::now()), idleWait_(sleepThread) {}

Milliseconds RealTimeLoop::now() const {
    return std::chrono::duration_cast<Milliseconds>(std::chrono::steady_clock::now() - start_);
}

void RealTimeLoop::setIdleWait(IdleWait wait) {
    idleWait_ = wait ? std::move(wait) : IdleWait(sleepThread);
}

void RealTimeLoop::waitUntil(Milliseconds deadline) {
    auto wakeAt = deadline;
    if (const auto due = nextDueTime()) wakeAt = std::min(wakeAt, *due);
    const auto wait = wakeAt - now();
    if (wait > Milliseconds{0}) idleWait_(wait);
}

void RealTimeLoop::sleep(Milliseconds duration) {
    runUntil([] { return false; }, duration);
}

bool RealTimeLoop::runUntil(const std::function<bool()>& done, Milliseconds timeout) {
    const auto deadline = now() + std::max(timeout, Milliseconds{0});
    for (;;) {
        dispatchDue();
        if (done()) return true;
        if (now() >= deadline) return false;
        waitUntil(deadline);
    }
}

}  // namespace hartdtm::loop
