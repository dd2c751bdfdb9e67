#pragma once

// The timers and posted calls of one object, like the window that receives a
// component's timer messages. The host is the owner of everything it arms, and
// its destructor cancels all of it, so no callback outlives the object that
// holds the host. The loop must outlive the host.

#include <utility>

#include "platform/loop/event_loop.h"

namespace hartdtm::loop {

class TimerHost {
public:
    // Binds to the current loop; without one the host is detached and every
    // operation fails (returns false).
    TimerHost() : TimerHost(currentLoop()) {}
    explicit TimerHost(EventLoop* loop) : loop_(loop) {}
    ~TimerHost() {
        if (loop_) loop_->cancelAll(this);
    }
    TimerHost(const TimerHost&) = delete;
    TimerHost& operator=(const TimerHost&) = delete;

    bool attached() const { return loop_ != nullptr; }
    EventLoop* loop() const { return loop_; }

    // Arms only when the timer is not armed; see EventLoop::arm.
    bool arm(TimerId id, Milliseconds delay, Callback callback) {
        return loop_ && loop_->arm(this, id, delay, std::move(callback));
    }
    // Replaces a pending timer; see EventLoop::rearm.
    bool rearm(TimerId id, Milliseconds delay, Callback callback) {
        return loop_ && loop_->rearm(this, id, delay, std::move(callback));
    }
    bool kill(TimerId id) { return loop_ && loop_->kill(this, id); }
    bool isArmed(TimerId id) const { return loop_ && loop_->isArmed(this, id); }
    bool post(Callback callback) { return loop_ && loop_->post(this, std::move(callback)); }
    void cancelAll() {
        if (loop_) loop_->cancelAll(this);
    }

private:
    EventLoop* loop_;
};

}  // namespace hartdtm::loop
