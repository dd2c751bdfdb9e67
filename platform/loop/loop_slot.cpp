#include "platform/loop/loop_slot_p.h"

extern "C" hartdtm::loop::EventLoop** hartdtm_event_loop_slot() {
    static hartdtm::loop::EventLoop* current = nullptr;
    return &current;
}
