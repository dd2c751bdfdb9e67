#pragma once

// Bookkeeping of armed timers and posted calls, without a clock and without
// running anything: the loops take due entries out and call them. Taking an
// entry out removes it first, so a callback sees its own timer disarmed and
// may arm it again.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <utility>

#include "platform/loop/event_loop.h"

namespace hartdtm::loop {

class TimerQueue {
public:
    struct DueTimer {
        Milliseconds due;
        Callback callback;
    };

    // Adds the timer unless (owner, id) is armed; false when it was.
    bool arm(const void* owner, TimerId id, Milliseconds due, Callback callback);
    // Replaces a pending timer of (owner, id), or adds it.
    void rearm(const void* owner, TimerId id, Milliseconds due, Callback callback);
    bool kill(const void* owner, TimerId id);
    bool isArmed(const void* owner, TimerId id) const;
    void post(const void* owner, Callback callback);
    // Returns how many timers and posted calls were dropped.
    std::size_t cancelAll(const void* owner);

    // Due time of the earliest armed timer; posted calls are not counted.
    std::optional<Milliseconds> nextTimerDue() const;
    bool hasPosted() const { return !posted_.empty(); }
    bool empty() const { return timers_.empty() && posted_.empty(); }
    std::size_t timerCount() const { return timers_.size(); }

    // Marks the present end of the queues: work added later has a higher mark.
    std::uint64_t mark() const { return nextSequence_; }

    // Removes and returns the oldest posted call queued before `mark`.
    std::optional<Callback> takePosted(std::uint64_t mark);
    // Removes and returns the earliest timer due at or before `limit`; of
    // timers due at the same time the one armed first.
    std::optional<DueTimer> takeTimerDueBy(Milliseconds limit);

private:
    using Key = std::pair<std::uintptr_t, TimerId>;
    using Order = std::pair<Milliseconds::rep, std::uint64_t>;  // due, arming sequence

    struct Armed {
        Order order;
        Callback callback;
    };
    struct Posted {
        std::uint64_t sequence;
        std::uintptr_t owner;
        Callback callback;
    };

    static Key keyOf(const void* owner, TimerId id);
    void insert(const Key& key, Milliseconds due, Callback callback);
    void erase(std::map<Key, Armed>::iterator timer);

    std::map<Key, Armed> timers_;
    std::map<Order, Key> byDue_;
    std::deque<Posted> posted_;
    std::uint64_t nextSequence_ = 0;
};

}  // namespace hartdtm::loop
