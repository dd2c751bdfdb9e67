#pragma once
// The apartment loop of a frame session, on the virtual clock (tests, exact
// transcripts) or in real time. The session makes it the current loop for its
// lifetime, so that DTMs and the frame's objects arm their timers on it.

#include <chrono>
#include <functional>
#include <memory>

#include "frame/lines/descriptor_watch.h"
#include "platform/loop/driven_loop.h"
#include "platform/loop/event_loop.h"

namespace frame {

using Milliseconds = std::chrono::milliseconds;

class SessionLoop {
public:
    enum class Clock { Virtual, RealTime };

    explicit SessionLoop(Clock clock);
    ~SessionLoop();
    SessionLoop(const SessionLoop&) = delete;
    SessionLoop& operator=(const SessionLoop&) = delete;

    hartdtm::loop::EventLoop& loop() { return *loop_; }
    bool virtualTime() const { return clock_ == Clock::Virtual; }
    Milliseconds now() const { return loop_->now(); }
    // The descriptors the loop polls while it waits; null on the virtual
    // clock, where no real line can run.
    DescriptorWatch* descriptors() { return clock_ == Clock::RealTime ? &descriptors_ : nullptr; }

    // Runs due work until done() holds or `limit` of loop time has passed.
    // Returns done().
    bool runUntil(const std::function<bool()>& done, Milliseconds limit);
    // Runs until no timer and no posted call is left, at most `limit`;
    // whether the loop became idle.
    bool settle(Milliseconds limit);
    // Lets `duration` of loop time pass, running what falls due.
    void wait(Milliseconds duration);

private:
    Clock clock_;
    DescriptorWatch descriptors_;
    std::unique_ptr<hartdtm::loop::DrivenLoop> loop_;
    hartdtm::loop::EventLoop* previous_;
};

}  // namespace frame
