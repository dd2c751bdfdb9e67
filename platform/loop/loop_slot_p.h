#pragma once

// The one process-wide place that holds the current loop.
//
// Every module links its own copy of this library, but the current loop must
// be the host program's. The slot function therefore has default visibility
// and every binary that links the library exports it (see CMakeLists.txt):
// the dynamic linker then binds the calls of all copies to the first
// definition in the global scope, the host program's. It lives in a
// translation unit of its own so that no caller can inline its own copy.

namespace hartdtm::loop {
class EventLoop;
}

extern "C" __attribute__((visibility("default"), noinline)) hartdtm::loop::EventLoop**
hartdtm_event_loop_slot();
