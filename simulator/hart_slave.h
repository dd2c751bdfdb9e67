#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "simulator/answer.h"
#include "simulator/device_application.h"
#include "simulator/fault_plan.h"

namespace simulator {

// The transport side of a simulated HART field device: takes one request at
// a time, lets the fault plan spoil it, and otherwise hands it to the device
// application. A programmed error response code, communication status,
// communication error or silence means the command is not carried out; a
// programmed warning code is answered with the command carried out and its
// reply data.
class HartSlave {
public:
    explicit HartSlave(std::unique_ptr<DeviceApplication> application);

    Answer transact(std::uint8_t command, std::span<const std::uint8_t> request);

    FaultPlan& faults() { return faults_; }
    DeviceApplication& application() { return *application_; }
    const DeviceApplication& application() const { return *application_; }

    // Requests seen so far, spoiled ones included.
    std::uint64_t requestCount() const { return requests_; }

private:
    std::unique_ptr<DeviceApplication> application_;
    FaultPlan faults_;
    std::uint64_t requests_ = 0;
};

}  // namespace simulator
