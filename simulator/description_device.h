#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "simulator/answer.h"
#include "simulator/clock.h"
#include "simulator/device_application.h"
#include "simulator/device_behaviour.h"
#include "simulator/device_memory.h"

namespace simulator {

struct DeviceOptions {
    // Refuse written values outside their enumeration, range or limits with
    // response codes 2, 3 and 4, as a field device does.
    bool checkWrites = true;
};

// The generic, description-driven device. A command is answered thus:
// unknown number: 64; a command the behaviour does not answer: no answer at
// all; fewer request bytes than its request items take: 5;
// the request items are decoded in order and kept only when the behaviour
// admits the command and every value passes its restrictions; then the
// behaviour carries the command out, and the reply bytes are laid out by the
// command's reply items from memory. Any write that changes a stored
// (non-dynamic) parameter raises "configuration changed" until command 38;
// the device starts, and restarts after command 42, with "cold start" raised
// for its first answer.
class DescriptionDevice : public DeviceApplication {
public:
    // Takes the memory as filled from defaults and profile. `clock` must not
    // be empty; the behaviour's start() runs at once with its first reading.
    DescriptionDevice(DeviceMemory memory, std::unique_ptr<DeviceBehaviour> behaviour, Clock clock,
                      DeviceOptions options = {});

    Answer handle(std::uint8_t command, std::span<const std::uint8_t> request) override;
    std::uint8_t deviceStatus() const override;

    // Moves the behaviour on to the clock's present reading without a
    // command, so that memory() shows what the next reply would.
    void catchUp();

    DeviceMemory& memory() { return memory_; }
    const DeviceMemory& memory() const { return memory_; }
    const DeviceDescription& description() const { return memory_.description(); }
    DeviceBehaviour& behaviour() { return *behaviour_; }

    // Bytes the command's request items take now: an item naming a pointer
    // takes the size of the parameter it designates, unless its reference
    // type is "pointer_value".
    std::size_t requestSize(const CommandInfo& command) const;

    // The polling address: the value that command 6 writes, 0 without one.
    std::uint8_t pollingAddress() const;

private:
    std::uint8_t takeRequest(const CommandInfo& command, std::span<const std::uint8_t> request);
    std::vector<std::uint8_t> layOutReply(const CommandInfo& command) const;
    Answer finish(std::uint8_t code, const CommandInfo* command);

    DeviceMemory memory_;
    std::unique_ptr<DeviceBehaviour> behaviour_;
    Clock clock_;
    DeviceOptions options_;
    std::int64_t lastMs_ = 0;
    bool configurationChanged_ = false;
    bool coldStart_ = true;
};

}  // namespace simulator
