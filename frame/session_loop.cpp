#include "frame/session_loop.h"

#include "platform/loop/real_time_loop.h"
#include "platform/loop/virtual_clock_loop.h"

namespace frame {

SessionLoop::SessionLoop(Clock clock) : clock_(clock), previous_(hartdtm::loop::currentLoop()) {
    if (clock == Clock::Virtual) {
        loop_ = std::make_unique<hartdtm::loop::VirtualClockLoop>();
    } else {
        auto realTime = std::make_unique<hartdtm::loop::RealTimeLoop>();
        realTime->setIdleWait([this](Milliseconds wait) { descriptors_.wait(wait); });
        loop_ = std::move(realTime);
    }
    hartdtm::loop::setCurrentLoop(loop_.get());
}

SessionLoop::~SessionLoop() {
    if (hartdtm::loop::currentLoop() == loop_.get()) hartdtm::loop::setCurrentLoop(previous_);
}

bool SessionLoop::runUntil(const std::function<bool()>& done, Milliseconds limit) {
    if (clock_ == Clock::Virtual) {
        return static_cast<hartdtm::loop::VirtualClockLoop&>(*loop_).runUntil(done, limit);
    }
    return static_cast<hartdtm::loop::RealTimeLoop&>(*loop_).runUntil(done, limit);
}

bool SessionLoop::settle(Milliseconds limit) {
    return runUntil([this] { return loop_->idle(); }, limit);
}

void SessionLoop::wait(Milliseconds duration) {
    loop_->sleep(duration);
}

}  // namespace frame
