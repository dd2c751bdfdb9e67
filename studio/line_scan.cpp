#include "studio/line_scan.h"

namespace studio {

LineScan scanLine(frame::SessionLoop& loop, frame::FrameOptions options, const std::string& spec,
                  unsigned first, unsigned last, const std::function<void(unsigned)>& progress) {
    LineScan result;
    const frame::Milliseconds limit = options.transferLimit;
    options.deviceSpec = spec;
    frame::Frame session(loop, std::move(options));
    if (const com::Status opened = session.openDevice(&result.notes); !opened) {
        result.error = opened.reason;
        return result;
    }
    frame::HartBackend* line = session.line();
    if (!line) {
        result.error = "there is no line " + spec;
        return result;
    }
    for (unsigned address = first; address <= last; ++address) {
        if (progress) progress(address);
        bool ended = false;
        frame::BusScan scan(
            *line, static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address),
            [&](std::vector<frame::ScannedDevice> devices, std::vector<std::string> notes) {
                for (frame::ScannedDevice& device : devices)
                    result.devices.push_back(std::move(device));
                for (std::string& note : notes) result.notes.push_back(std::move(note));
                ended = true;
            });
        scan.start();
        if (!loop.runUntil([&] { return ended; }, limit)) {
            line->cancel();
            result.error = spec + ": polling address " + std::to_string(address) +
                           " did not finish within the transfer limit";
            return result;
        }
    }
    return result;
}

}  // namespace studio
