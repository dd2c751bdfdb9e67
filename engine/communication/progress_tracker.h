#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/communication/command_key.h"

namespace engine::communication {

// Progress of a run of queued commands, as the frame's progress events show
// it: inactive -> active (start) -> closing (stop) -> inactive (a percent
// computed with nothing outstanding).
class ProgressTracker {
public:
    // Starts over under title.
    void start(std::string title);
    // Commands queued from now on are not counted; the run goes on until
    // nothing is outstanding.
    void stop() { closing_ = true; }
    // Counts a newly queued command (only while active and not closing).
    void track(CommandKey key);
    // The command completed or was removed: its first occurrence leaves the
    // outstanding list (only while active). True when one was removed.
    bool complete(CommandKey key);
    // Forgets every outstanding command and stops counting (queue aborted).
    void abandon();

    // 100 when nothing was counted, else the completed share in integer
    // percent. Computing it with nothing outstanding ends the run.
    int32_t percent();

    bool active() const { return active_; }
    bool closing() const { return closing_; }
    const std::string& title() const { return title_; }
    int32_t total() const { return total_; }
    const std::vector<CommandKey>& outstanding() const { return outstanding_; }

private:
    std::string title_;
    int32_t total_ = 0;
    std::vector<CommandKey> outstanding_;
    bool active_ = false;
    bool closing_ = false;
};

}  // namespace engine::communication
