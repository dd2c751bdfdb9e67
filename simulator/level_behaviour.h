#pragma once

#include <cstdint>

#include "simulator/device_behaviour.h"

namespace simulator {

// The level transmitter and controller's own behaviour:
// - the level moves slowly through its range; percent of range and loop
//   current follow it (command 40 fixes the current, 0 releases it);
// - the controller drives its output towards the setpoint in normal mode and
//   holds the manual output in manual mode (command 161 sets the mode,
//   191 the setpoint);
// - electronics temperature with its extremes, operating hours, coupling
//   signal and the specific-gravity meter move with time;
// - commands 36 and 37 take the present level as upper or lower range value,
//   149 clears the faults and latched alerts, 151 resets the continuous
//   diagnostic data, 173 runs the sensor test, 174 the filter autotune, and
//   245 to 247 calibrate the specific-gravity meter;
// - level, current and temperature alerts are raised and cleared as their
//   conditions come and go.
class LevelBehaviour : public DeviceBehaviour {
public:
    void setSensorTestFails(bool fails) { sensorTestFails_ = fails; }
    void setFilterAutotuneFails(bool fails) { filterAutotuneFails_ = fails; }

    void start(DeviceMemory& memory, std::int64_t nowMs) override;
    void advance(DeviceMemory& memory, std::int64_t nowMs) override;
    std::uint8_t execute(const CommandInfo& command, DeviceMemory& memory) override;
    std::uint8_t statusBits(const DeviceMemory& memory) const override;

private:
    void moveLevel(DeviceMemory& memory, double elapsedMs);
    void moveController(DeviceMemory& memory, double dtMs);
    void moveDiagnostics(DeviceMemory& memory, double elapsedMs);
    void updateAlerts(DeviceMemory& memory);
    std::uint8_t takeRangeValue(DeviceMemory& memory, bool upper);
    void runFilterAutotune(DeviceMemory& memory);
    double percentOfRange(const DeviceMemory& memory) const;
    double loopCurrent(const DeviceMemory& memory) const;

    bool sensorTestFails_ = false;
    bool filterAutotuneFails_ = false;
    bool currentFixed_ = false;
    unsigned autotuneRuns_ = 0;
    std::int64_t startMs_ = 0;
    std::int64_t lastMs_ = 0;
    double levelBase_ = 50.0;
    double temperatureBase_ = 25.0;
    double couplingBase_ = 50.0;
    double specificGravityBase_ = 1.0;
    double specificGravityGain_ = 1.0;
    double specificGravityOffset_ = 0.0;
    double hoursBase_ = 0.0;
};

}  // namespace simulator
