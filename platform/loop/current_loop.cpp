#include "platform/loop/event_loop.h"
#include "platform/loop/loop_slot_p.h"

namespace hartdtm::loop {

EventLoop* currentLoop() {
    return *hartdtm_event_loop_slot();
}

void setCurrentLoop(EventLoop* loop) {
    *hartdtm_event_loop_slot() = loop;
}

}  // namespace hartdtm::loop
