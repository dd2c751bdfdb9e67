#pragma once
// Finds the devices on a project line: a frame session of its own opens the
// line and runs the frame's bus scan one polling address at a time, so that
// the studio can show how far it has got.

#include <functional>
#include <string>
#include <vector>

#include "frame/frame_session.h"
#include "frame/lines/bus_scan.h"

namespace studio {

struct LineScan {
    std::vector<frame::ScannedDevice> devices;
    std::vector<std::string> notes;  // the scan's problems and the line's warnings
    std::string error;               // why the line could not be scanned; empty when it was
};

// Polls the addresses first to last; `progress` hears each address before it
// is polled. The line is closed again afterwards.
LineScan scanLine(frame::SessionLoop& loop, frame::FrameOptions options, const std::string& spec,
                  unsigned first, unsigned last, const std::function<void(unsigned)>& progress);

}  // namespace studio
