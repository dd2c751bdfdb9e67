#include "platform/loop/driven_loop.h"

#include <algorithm>
#include <utility>

namespace hartdtm::loop {

DrivenLoop::~DrivenLoop() {
    if (currentLoop() == this) setCurrentLoop(nullptr);
}

Milliseconds DrivenLoop::effectiveDelay(Milliseconds delay) {
    return std::max(delay, Milliseconds{1});
}

void DrivenLoop::changed() {
    scheduleChanged();
}

bool DrivenLoop::arm(const void* owner, TimerId id, Milliseconds delay, Callback callback) {
    if (!callback) return false;
    if (!queue_.arm(owner, id, now() + effectiveDelay(delay), std::move(callback))) return false;
    changed();
    return true;
}

bool DrivenLoop::rearm(const void* owner, TimerId id, Milliseconds delay, Callback callback) {
    if (!callback) return false;
    queue_.rearm(owner, id, now() + effectiveDelay(delay), std::move(callback));
    changed();
    return true;
}

bool DrivenLoop::kill(const void* owner, TimerId id) {
    if (!queue_.kill(owner, id)) return false;
    changed();
    return true;
}

bool DrivenLoop::isArmed(const void* owner, TimerId id) const {
    return queue_.isArmed(owner, id);
}

bool DrivenLoop::post(const void* owner, Callback callback) {
    if (!callback) return false;
    queue_.post(owner, std::move(callback));
    changed();
    return true;
}

void DrivenLoop::cancelAll(const void* owner) {
    if (queue_.cancelAll(owner) > 0) changed();
}

std::optional<Milliseconds> DrivenLoop::nextDueTime() const {
    if (queue_.hasPosted()) return now();
    return queue_.nextTimerDue();
}

std::size_t DrivenLoop::dispatchDue() {
    const auto mark = queue_.mark();
    const auto dueBy = now();
    std::size_t ran = 0;
    // Entries are taken out one at a time: a callback may dispatch again
    // (sleep) or cancel what this dispatch has not reached yet.
    while (auto call = queue_.takePosted(mark)) {
        changed();
        ++ran;
        (*call)();
    }
    while (auto timer = queue_.takeTimerDueBy(dueBy)) {
        changed();
        ++ran;
        timer->callback();
    }
    return ran;
}

}  // namespace hartdtm::loop
