#pragma once

// The apartment thread's deferred calls: one-shot timers keyed by (owner,
// timer id), posted calls and blocking sleeps that keep due work running.
//
// Everything here is used from one thread only. Callbacks run on that thread,
// from inside dispatchDue(), sleep() or a backend's run functions, and may arm,
// re-arm or kill timers, post calls and sleep again (nested dispatch).
//
// EventLoop is a pure interface on purpose: a loop created by the host
// program is reached from modules that carry their own copy of this library,
// so every call has to go through the creator's vtable.

#include <chrono>
#include <cstdint>
#include <functional>

namespace hartdtm::loop {

using Milliseconds = std::chrono::milliseconds;
using Callback = std::function<void()>;

// Identifies one timer of an owner, like a window timer id on a window.
using TimerId = std::uint32_t;

class EventLoop {
public:
    virtual ~EventLoop() = default;

    // Arms the one-shot timer (owner, id) to call `callback` after `delay`,
    // unless that timer is already armed: then the pending one is left as it
    // is (due time and callback) and false is returned. Returns true when the
    // timer was armed. An empty callback arms nothing and returns false.
    // Delays below 1 ms count as 1 ms, so a timer that re-arms itself from its
    // own callback always lets time move on.
    virtual bool arm(const void* owner, TimerId id, Milliseconds delay, Callback callback) = 0;

    // Arms the timer (owner, id) afresh: a pending one is dropped and the new
    // due time counts from now, in arming order after every timer armed so far.
    // Returns false only for an empty callback, which changes nothing.
    virtual bool rearm(const void* owner, TimerId id, Milliseconds delay, Callback callback) = 0;

    // Disarms the timer; its callback is destroyed without being called.
    // Returns whether a timer was pending.
    virtual bool kill(const void* owner, TimerId id) = 0;

    virtual bool isArmed(const void* owner, TimerId id) const = 0;

    // Queues `callback` to run on the next dispatch, after every call posted
    // before it. An empty callback is refused (false).
    virtual bool post(const void* owner, Callback callback) = 0;

    // Kills every timer of `owner` and drops its posted calls that have not
    // run yet. An object that armed timers calls this before it goes away.
    virtual void cancelAll(const void* owner) = 0;

    // Blocks the caller for `duration` while running the work that falls due
    // in between (timers, posted calls), then returns. May be called from
    // inside a callback.
    virtual void sleep(Milliseconds duration) = 0;

    // Time of this loop's clock since its start.
    virtual Milliseconds now() const = 0;
};

// The loop of the apartment thread, shared by every module of the process.
// Null when the host program has set none. The host keeps the loop alive while
// it is current; a loop that is destroyed while current clears it.
EventLoop* currentLoop();
void setCurrentLoop(EventLoop* loop);

// Makes `loop` current for the guard's lifetime and restores the previous one.
class CurrentLoopScope {
public:
    explicit CurrentLoopScope(EventLoop& loop) : previous_(currentLoop()) { setCurrentLoop(&loop); }
    ~CurrentLoopScope() { setCurrentLoop(previous_); }
    CurrentLoopScope(const CurrentLoopScope&) = delete;
    CurrentLoopScope& operator=(const CurrentLoopScope&) = delete;

private:
    EventLoop* previous_;
};

}  // namespace hartdtm::loop
