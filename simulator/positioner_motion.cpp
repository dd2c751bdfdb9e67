#include <algorithm>
#include <cmath>

#include "simulator/positioner_behaviour.h"
#include "simulator/positioner_ids_p.h"

namespace simulator {

using namespace positioner;

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kValveLagMs = 1500.0;
constexpr double kPressureLagMs = 2000.0;
constexpr double kPsiPerBar = 14.5037738;
constexpr double kPsiPerKPa = 0.145037738;
constexpr double kRawCountsPerPsi = 881.0;

// The share of the way to its target that a first-order lag covers in dtMs.
double lagStep(double dtMs, double lagMs) {
    return 1.0 - std::exp(-dtMs / lagMs);
}

double equalPercent(double percent, double ratio) {
    return (std::pow(ratio, percent / 100.0) - 1.0) / (ratio - 1.0) * 100.0;
}

}  // namespace

// Pressure-unit value per psi.
double PositionerBehaviour::pressureFactor(const DeviceMemory& memory) const {
    switch (memory.integer(kPressureUnit)) {
        case kUnitBar:
            return 1.0 / kPsiPerBar;
        case kUnitKPa:
            return 1.0 / kPsiPerKPa;
        default:
            return 1.0;
    }
}

double PositionerBehaviour::characterize(const DeviceMemory& memory, double percent) const {
    switch (memory.integer(kCharacteristic)) {
        case kCharEqualPercent30:
            return equalPercent(percent, 30.0);
        case kCharEqualPercent50:
            return equalPercent(percent, 50.0);
        case kCharQuickOpen:
            return 100.0 - equalPercent(100.0 - percent, 50.0);
        case kCharCustom:
            break;
        default:
            return percent;
    }
    // Piecewise linear through (0, 0), the points in ascending x, (100, 100).
    std::vector<std::pair<double, double>> points{{0.0, 0.0}};
    for (std::size_t i = 0; i < kCharacteristicX.size(); ++i) {
        const double x = memory.number(kCharacteristicX[i]) / 2.56;
        if (x > 0.0 && x < 100.0) points.emplace_back(x, memory.number(kCharacteristicY[i]) / 2.56);
    }
    points.emplace_back(100.0, 100.0);
    std::sort(points.begin(), points.end());
    for (std::size_t i = 1; i < points.size(); ++i) {
        const auto [x0, y0] = points[i - 1];
        const auto [x1, y1] = points[i];
        if (percent <= x1 && x1 > x0) return y0 + (y1 - y0) * (percent - x0) / (x1 - x0);
    }
    return percent;
}

// Where the valve is driven to, in percent of its travel.
double PositionerBehaviour::targetPosition(const DeviceMemory& memory) const {
    if (const auto driven = procedureTarget()) return *driven;
    const std::int64_t mode = memory.integer(kActiveMode);
    const std::int64_t source =
        mode == kModeNormal ? kSourceSignal : memory.integer(kSetpointSource);
    if (source == kSourceClose) return 0.0;
    if (source == kSourceOpen) return 100.0;
    double demand = memory.number(kSetpoint);
    if (source == kSourceSignal) {
        const double milliamps = mode == kModeNormal ? memory.number(kInputSignal) : demand;
        const double low = memory.number(kSignalLow);
        const double high = memory.number(kSignalHigh);
        demand = high > low ? (milliamps - low) / (high - low) * 100.0 : 0.0;
    }
    double target = characterize(memory, std::clamp(demand, 0.0, 100.0));
    if (memory.integer(kLowerLimitEnable) == 1)
        target = std::max(target, memory.number(kLowerLimit));
    if (memory.integer(kUpperLimitEnable) == 1)
        target = std::min(target, memory.number(kUpperLimit));
    if (memory.integer(kTightShutoffEnable) == 1 && target < memory.number(kTightShutoff))
        target = 0.0;
    return std::clamp(target, 0.0, 100.0);
}

void PositionerBehaviour::moveValve(DeviceMemory& memory, double dtMs) {
    const double target = targetPosition(memory);
    const double before = memory.number(kPosition);
    const double after = before + (target - before) * lagStep(dtMs, kValveLagMs);
    memory.setNumber(kPosition, after);
    if (memory.integer(kActiveMode) == kModeNormal) memory.setNumber(kSetpoint, target);
    raiseFault(memory, kFaultTightShutoff,
               target == 0.0 && memory.integer(kTightShutoffEnable) == 1);
    raiseFault(memory, kFaultLowerLimit,
               memory.integer(kLowerLimitEnable) == 1 && target <= memory.number(kLowerLimit) &&
                   target > 0.0);
    raiseFault(memory, kFaultUpperLimit,
               memory.integer(kUpperLimitEnable) == 1 && target >= memory.number(kUpperLimit));
    updateHistorian(memory, dtMs, after - before);
}

// The actuator pressure rises over the spring range as the valve opens (air
// to open) or closes (air to close); a double-acting actuator's second
// chamber takes the rest of the supply.
void PositionerBehaviour::movePressures(DeviceMemory& memory, double dtMs) {
    const double elapsed = static_cast<double>(lastMs_ - startMs_);
    const double position = memory.number(kPosition) / 100.0;
    const double stroke = memory.integer(kAirAction) == 0 ? 1.0 - position : position;
    const double supply = supplyBasePsi_ + 0.3 * std::sin(2.0 * kPi * elapsed / 7000.0);
    const double actuator1 = std::min(supply, 6.0 + 22.5 * stroke);
    const double actuator2 =
        memory.integer(kActuatorType) == 1 ? std::max(0.0, supply - actuator1) : 0.1;
    const double pilot = 0.45 * supply + 0.2 * (targetPosition(memory) - memory.number(kPosition));
    const double step = lagStep(dtMs, kPressureLagMs);
    actuator1Psi_ += (actuator1 - actuator1Psi_) * step;
    actuator2Psi_ += (actuator2 - actuator2Psi_) * step;
    supplyPsi_ += (supply - supplyPsi_) * step;
    pilotPsi_ += (std::max(0.0, pilot) - pilotPsi_) * step;
    publishPressures(memory);
}

void PositionerBehaviour::publishPressures(DeviceMemory& memory) const {
    const double unit = pressureFactor(memory);
    memory.setNumber(kActuatorPressure1, actuator1Psi_ * unit);
    memory.setNumber(kActuatorPressure2, actuator2Psi_ * unit);
    memory.setNumber(kSupplyPressure, supplyPsi_ * unit);
    memory.setNumber(kPilotPressure, pilotPsi_ * unit);
}

// The board warms and cools over ten minutes; the lowest and highest readings follow.
void PositionerBehaviour::moveTemperatures(DeviceMemory& memory, double elapsedMs) {
    const double board = boardTemperatureBase_ + 30.0 * std::sin(2.0 * kPi * elapsedMs / 600000.0);
    memory.setNumber(kBoardTemperature, board);
    const double now = memory.number(kBoardTemperature);
    memory.setNumber(kLowestTemperature, std::min(memory.number(kLowestTemperature), now));
    memory.setNumber(kHighestTemperature, std::max(memory.number(kHighestTemperature), now));
}

void PositionerBehaviour::updateRawData(DeviceMemory& memory) {
    const double position = memory.number(kPosition);
    const double lower = memory.number(kLowerStopRaw);
    const double upper = memory.number(kUpperStopRaw);
    memory.setNumber(kSignalRaw, memory.number(kInputSignal) * 1000.0);
    memory.setNumber(kPositionRaw, lower + (upper - lower) * position / 100.0);
    memory.setNumber(kPressureRaw, actuator1Psi_ * kRawCountsPerPsi);
    memory.setNumber(kIpOutputRaw, 30550.0 + 60.0 * (targetPosition(memory) - position));
    memory.setNumber(kIpCurrent, 1.2 + 1.3 * position / 100.0);
}

// Switch functions: 1 below the trip point, 2 above it, 3 on any fault,
// 4 outside normal mode; a normally-closed contact opens when active.
void PositionerBehaviour::updateSwitches(DeviceMemory& memory) {
    const double position = memory.number(kPosition);
    const bool anyFault = memory.integer(kStatusSummary) != 0;
    const auto update = [&](ReferenceId function, ReferenceId contact, ReferenceId trip,
                            ReferenceId state) {
        bool active = false;
        switch (memory.integer(function)) {
            case 1:
                active = position <= memory.number(trip);
                break;
            case 2:
                active = position >= memory.number(trip);
                break;
            case 3:
                active = anyFault;
                break;
            case 4:
                active = memory.integer(kActiveMode) != kModeNormal;
                break;
            default:
                memory.setNumber(state, 0);
                return;
        }
        memory.setNumber(state, (memory.integer(contact) == 1) != active ? 1 : 0);
    };
    update(kSwitch1Function, kSwitch1Contact, kSwitch1TripPoint, kSwitch1State);
    update(kSwitch2Function, kSwitch2Contact, kSwitch2TripPoint, kSwitch2State);
}

// Seconds closed (below 1 %), open (above 99 %) and near a stop (below 5 % or
// above 95 %), direction reversals as cycles and full strokes of travel.
void PositionerBehaviour::updateHistorian(DeviceMemory& memory, double dtMs, double travel) {
    const double position = memory.number(kPosition);
    const double seconds = dtMs / 1000.0;
    const auto accumulate = [&](double& fraction, ReferenceId counter) {
        fraction += seconds;
        const double whole = std::floor(fraction);
        fraction -= whole;
        memory.setNumber(counter, memory.number(counter) + whole);
    };
    if (position < 1.0) {
        accumulate(closedSeconds_, kTimeClosed);
    } else if (position > 99.0) {
        accumulate(openSeconds_, kTimeOpen);
    } else if (position < 5.0 || position > 95.0) {
        accumulate(nearSeconds_, kTimeNear);
    }
    if (std::abs(travel) > 0.05) {
        const int direction = travel > 0 ? 1 : -1;
        if (lastDirection_ != 0 && direction != lastDirection_)
            memory.setNumber(kCycles, memory.number(kCycles) + 1);
        lastDirection_ = direction;
    }
    travelPercent_ += std::abs(travel);
    const double strokes = std::floor(travelPercent_ / 100.0);
    travelPercent_ -= strokes * 100.0;
    memory.setNumber(kTotalTravel, memory.number(kTotalTravel) + strokes);
}

}  // namespace simulator
