#pragma once

#include <cstdint>
#include <span>

#include "simulator/device_description.h"
#include "simulator/device_memory.h"

namespace simulator {

// What a particular device does beyond storing and replying what its
// description declares: mode changes, procedures, resets, values that move
// over time. The description-driven device calls these hooks; a device
// without behaviour of its own uses the defaults, which do nothing.
class DeviceBehaviour {
public:
    virtual ~DeviceBehaviour() = default;

    // Once, after the description's defaults and the profile are in memory;
    // `nowMs` is the clock's first reading.
    virtual void start(DeviceMemory& memory, std::int64_t nowMs) {}

    // Moves the device on to `nowMs`, before each command is handled. Calls
    // come with non-decreasing times.
    virtual void advance(DeviceMemory& memory, std::int64_t nowMs) {}

    // Whether the device answers the command at all; a device that does not
    // stays silent and keeps nothing of the request (commands 11 and 21 are
    // answered only by the device whose tag they name).
    virtual bool answers(const CommandInfo& command, std::span<const std::uint8_t> request,
                         const DeviceMemory& memory) const {
        return true;
    }

    // Before any value of the request is kept: `current` is the memory as it
    // is, `staged` as it would be. A non-zero error code refuses the command;
    // nothing is kept and the answer carries that code.
    virtual std::uint8_t admit(const CommandInfo& command, const DeviceMemory& current,
                               const DeviceMemory& staged) {
        return 0;
    }

    // After the request's values are kept: carries the command out. Answers 0,
    // a warning code (the reply data follows) or an error code (no data).
    virtual std::uint8_t execute(const CommandInfo& command, DeviceMemory& memory) { return 0; }

    // Device status bits the behaviour owns (malfunction, more status
    // available, loop current fixed or saturated, variables out of limits).
    virtual std::uint8_t statusBits(const DeviceMemory& memory) const { return 0; }
};

}  // namespace simulator
