#pragma once
// Where a host program sends the engine's task-modal error boxes. A host
// that exports HartDtmMessageBox (see engine/dtm/error_box.h) forwards it to
// showHostErrorBox, which records the box in the log set here and answers OK.

#include "frame/event_log.h"

namespace frame {

// The log that receives "error-box CAPTION TEXT" events; null: boxes go to
// standard error. The log must outlive its use here.
void setErrorBoxLog(EventLog* log);

// Records (or prints) one box; answers 1 (OK), as a box with one button does.
int showHostErrorBox(const char* text, const char* caption, unsigned flags);

}  // namespace frame
