#pragma once

#include <cstdint>
#include <span>

#include "simulator/answer.h"

namespace simulator {

// The swappable device behind a HART slave: what answers a command once the
// transport has delivered it. The slave itself adds only the line's faults.
class DeviceApplication {
public:
    virtual ~DeviceApplication() = default;

    // Answers one command with its request data bytes. Never throws for bad
    // input: unknown commands and short requests are answered with their
    // response codes.
    virtual Answer handle(std::uint8_t command, std::span<const std::uint8_t> request) = 0;

    // The field-device status byte as the device would report it now.
    virtual std::uint8_t deviceStatus() const = 0;
};

}  // namespace simulator
