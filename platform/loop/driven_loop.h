#pragma once

// The seam between the deferred-call bookkeeping and whatever drives it.
//
// A backend supplies the clock (now()) and the blocking wait (sleep()); the
// driver asks nextDueTime() when the loop wants to run next and calls
// dispatchDue() once that time has come. A GUI event loop drives it with one
// single-shot timer that it restarts from scheduleChanged().

#include <cstddef>
#include <optional>

#include "platform/loop/event_loop.h"
#include "platform/loop/timer_queue.h"

namespace hartdtm::loop {

class DrivenLoop : public EventLoop {
public:
    DrivenLoop() = default;
    // Drops every pending callback uncalled; clears the current loop if it is
    // this one.
    ~DrivenLoop() override;
    DrivenLoop(const DrivenLoop&) = delete;
    DrivenLoop& operator=(const DrivenLoop&) = delete;

    bool arm(const void* owner, TimerId id, Milliseconds delay, Callback callback) override;
    bool rearm(const void* owner, TimerId id, Milliseconds delay, Callback callback) override;
    bool kill(const void* owner, TimerId id) override;
    bool isArmed(const void* owner, TimerId id) const override;
    bool post(const void* owner, Callback callback) override;
    void cancelAll(const void* owner) override;

    // When the loop next has work: now() while posted calls wait, else the due
    // time of the earliest timer (possibly in the past); none when idle.
    std::optional<Milliseconds> nextDueTime() const;

    // Runs, in this order, the posted calls queued before this dispatch began
    // (in posting order) and then the timers due at the time the dispatch
    // began (by due time, ties in arming order). Work added by these callbacks
    // waits for a later dispatch, so one dispatch always ends. A callback that
    // throws ends the dispatch with its exception; what it did not reach stays
    // queued. Returns the number of callbacks run.
    std::size_t dispatchDue();

    bool idle() const { return queue_.empty(); }

protected:
    // Called after every change of the pending work, so that a driver can
    // restart its own timer for nextDueTime().
    virtual void scheduleChanged() {}

private:
    void changed();
    static Milliseconds effectiveDelay(Milliseconds delay);

    TimerQueue queue_;
};

}  // namespace hartdtm::loop
