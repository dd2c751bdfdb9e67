#pragma once
// Opens the HART line a device text names:
//   sim:positioner | sim:level | sim:FOLDER      the simulator in process
//   serial:PATH[,OPTION...]                       a HART modem on a serial port
//   hartip:HOST[:PORT][,OPTION...]                a HART-IP device or gateway
// Serial options: rts (key RTS around each transmission), echo (drop the
// modem's echo of our request), preambles=N (5..20), secondary (act as
// secondary master), retries=N (sends after the first; 2 by default).
// HART-IP options: udp, retries=N, timeout=MS (per request), inactivity=MS
// (the session's inactivity timer), secondary.

#include <filesystem>
#include <string>
#include <string_view>

#include "frame/lines/descriptor_watch.h"
#include "frame/simulator_backend.h"

namespace frame {

// One line of help per line kind, for usage texts.
std::string lineKindsUsage();

// `watch` may be null (a virtual clock): real lines are then refused.
BackendOpen openLine(std::string_view spec, const std::filesystem::path& devicesRoot,
                     simulator::Clock clock, DescriptorWatch* watch);

}  // namespace frame
