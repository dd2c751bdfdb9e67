#include "simulator/level_behaviour.h"

#include <algorithm>
#include <cmath>

#include "simulator/hart_codes.h"

namespace simulator {
namespace {

constexpr double kPi = 3.141592653589793;

constexpr ReferenceId kLevel = 196666074;
constexpr ReferenceId kPercentOfRange = 158833582;
constexpr ReferenceId kLoopCurrent = 698020263;
constexpr ReferenceId kUpperRangeValue = 177080380;
constexpr ReferenceId kLowerRangeValue = 1304192516;
constexpr ReferenceId kFixedCurrent = 46460907;
constexpr ReferenceId kControllerOutput = 374985680;
constexpr ReferenceId kControllerSetpoint = 1741075726;
constexpr ReferenceId kLocalSetpoint = 1588410518;
constexpr ReferenceId kControllerEnabled = 638802010;
constexpr ReferenceId kDirectActing = 1683633882;
constexpr ReferenceId kPidGain = 658252150;
constexpr ReferenceId kManualOutput = 1526220577;
constexpr ReferenceId kActiveMode = 328966019;
constexpr ReferenceId kModeToSet = 1120274244;
constexpr ReferenceId kSpecificGravity = 811600468;
constexpr ReferenceId kSpecificGravityReference = 1803493108;
constexpr ReferenceId kElectronicsTemperature = 594381523;
constexpr ReferenceId kMaxTemperature = 1130356733;
constexpr ReferenceId kMinTemperature = 767961925;
constexpr ReferenceId kOperatingHours = 1727853799;
constexpr ReferenceId kCoupling = 181154374;
constexpr ReferenceId kDeviceFaults = 1374071433;
constexpr ReferenceId kDeviceAlerts = 1926399845;
constexpr ReferenceId kLowAlarmEnabled = 1254959431;
constexpr ReferenceId kHighAlarmEnabled = 978908723;
constexpr ReferenceId kLowAlarmLevel = 1581136627;
constexpr ReferenceId kHighAlarmLevel = 1348480682;
constexpr ReferenceId kSensorTestResult = 915037269;
constexpr ReferenceId kFilterAutotuneResult = 631829201;
constexpr ReferenceId kFilterTime = 570458891;
constexpr ReferenceId kFilterGain = 1450013492;
constexpr ReferenceId kNoiseBand = 1316935848;

constexpr int kModeNormal = 0;
constexpr int kTestPassed = 0;
constexpr int kTestFailed = 1;

// Bits of the alert word that follow live conditions; the others latch
// until command 149.
constexpr unsigned kAlertLowLevel = 0;
constexpr unsigned kAlertHighLevel = 1;
constexpr unsigned kAlertAboveRange = 3;
constexpr unsigned kAlertBelowRange = 4;
constexpr unsigned kAlertCurrentFixed = 7;
constexpr unsigned kAlertCurrentSaturated = 8;
constexpr unsigned kAlertTemperatureHigh = 13;
constexpr unsigned kAlertTemperatureLow = 14;
constexpr unsigned kAlertAutotuneFailed = 16;
constexpr unsigned kAlertSensorTestFailed = 17;

constexpr std::uint8_t kCmdSetUpperRange = 36;
constexpr std::uint8_t kCmdSetLowerRange = 37;
constexpr std::uint8_t kCmdFixedCurrent = 40;
constexpr std::uint8_t kCmdClearFaults = 149;
constexpr std::uint8_t kCmdResetDiagnostics = 151;
constexpr std::uint8_t kCmdWriteMode = 161;
constexpr std::uint8_t kCmdSensorTest = 173;
constexpr std::uint8_t kCmdFilterAutotune = 174;
constexpr std::uint8_t kCmdWriteSetpoint = 191;
constexpr std::uint8_t kCmdSpecificGravityZero = 245;
constexpr std::uint8_t kCmdSpecificGravitySpan = 246;
constexpr std::uint8_t kCmdSpecificGravityFactory = 247;

constexpr std::uint8_t kAppliedProcessTooHigh = 9;
constexpr std::uint8_t kAppliedProcessTooLow = 10;

double lagStep(double dtMs, double lagMs) {
    return 1.0 - std::exp(-dtMs / lagMs);
}

double wave(double elapsedMs, double periodMs) {
    return std::sin(2.0 * kPi * elapsedMs / periodMs);
}

void setBit(DeviceMemory& memory, ReferenceId word, unsigned bit, bool on) {
    auto value = static_cast<std::uint64_t>(memory.integer(word));
    value = on ? value | (std::uint64_t{1} << bit) : value & ~(std::uint64_t{1} << bit);
    memory.setNumber(word, static_cast<double>(value));
}

}  // namespace

void LevelBehaviour::start(DeviceMemory& memory, std::int64_t nowMs) {
    startMs_ = lastMs_ = nowMs;
    levelBase_ = memory.number(kLevel);
    temperatureBase_ = memory.number(kElectronicsTemperature);
    couplingBase_ = memory.number(kCoupling);
    specificGravityBase_ = memory.number(kSpecificGravity);
    hoursBase_ = memory.number(kOperatingHours);
}

void LevelBehaviour::advance(DeviceMemory& memory, std::int64_t nowMs) {
    if (nowMs <= lastMs_) return;
    const double dtMs = static_cast<double>(nowMs - lastMs_);
    lastMs_ = nowMs;
    const double elapsedMs = static_cast<double>(nowMs - startMs_);
    moveLevel(memory, elapsedMs);
    moveController(memory, dtMs);
    moveDiagnostics(memory, elapsedMs);
    updateAlerts(memory);
}

double LevelBehaviour::percentOfRange(const DeviceMemory& memory) const {
    const double upper = memory.number(kUpperRangeValue);
    const double lower = memory.number(kLowerRangeValue);
    if (upper == lower) return 0.0;
    return (memory.number(kLevel) - lower) / (upper - lower) * 100.0;
}

double LevelBehaviour::loopCurrent(const DeviceMemory& memory) const {
    if (currentFixed_) return memory.number(kFixedCurrent);
    return std::clamp(4.0 + 16.0 * percentOfRange(memory) / 100.0, 3.8, 20.5);
}

// The level swings by 8 % of the span around where it started, over three minutes.
void LevelBehaviour::moveLevel(DeviceMemory& memory, double elapsedMs) {
    const double span = std::abs(memory.number(kUpperRangeValue) - memory.number(kLowerRangeValue));
    memory.setNumber(kLevel, levelBase_ + 0.08 * span * wave(elapsedMs, 180000.0));
    memory.setNumber(kPercentOfRange, percentOfRange(memory));
    memory.setNumber(kLoopCurrent, loopCurrent(memory));
}

void LevelBehaviour::moveController(DeviceMemory& memory, double dtMs) {
    double target = memory.number(kManualOutput);
    if (memory.integer(kActiveMode) == kModeNormal) {
        if (memory.integer(kControllerEnabled) == 0) return;
        // A direct-acting controller raises its output as the level rises above the setpoint.
        const double deviation = percentOfRange(memory) - memory.number(kControllerSetpoint);
        const double sign = memory.integer(kDirectActing) == 1 ? 1.0 : -1.0;
        target = 50.0 + sign * memory.number(kPidGain) * deviation;
    }
    target = std::clamp(target, 0.0, 100.0);
    const double output = memory.number(kControllerOutput);
    memory.setNumber(kControllerOutput, output + (target - output) * lagStep(dtMs, 3000.0));
}

void LevelBehaviour::moveDiagnostics(DeviceMemory& memory, double elapsedMs) {
    const double temperature = temperatureBase_ + 2.0 * wave(elapsedMs, 900000.0);
    memory.setNumber(kElectronicsTemperature, temperature);
    const double now = memory.number(kElectronicsTemperature);
    memory.setNumber(kMaxTemperature, std::max(memory.number(kMaxTemperature), now));
    memory.setNumber(kMinTemperature, std::min(memory.number(kMinTemperature), now));
    memory.setNumber(kOperatingHours, hoursBase_ + std::floor(elapsedMs / 3600000.0));
    memory.setNumber(kCoupling, couplingBase_ + 0.5 * wave(elapsedMs, 60000.0));
    const double drift = 0.002 * wave(elapsedMs, 45000.0);
    memory.setNumber(kSpecificGravity,
                     specificGravityBase_ * specificGravityGain_ + drift - specificGravityOffset_);
}

void LevelBehaviour::updateAlerts(DeviceMemory& memory) {
    const double level = memory.number(kLevel);
    const double percent = percentOfRange(memory);
    const double current = memory.number(kLoopCurrent);
    const double temperature = memory.number(kElectronicsTemperature);
    setBit(memory, kDeviceAlerts, kAlertLowLevel,
           memory.integer(kLowAlarmEnabled) == 1 && level < memory.number(kLowAlarmLevel));
    setBit(memory, kDeviceAlerts, kAlertHighLevel,
           memory.integer(kHighAlarmEnabled) == 1 && level > memory.number(kHighAlarmLevel));
    setBit(memory, kDeviceAlerts, kAlertAboveRange, percent > 100.0);
    setBit(memory, kDeviceAlerts, kAlertBelowRange, percent < 0.0);
    setBit(memory, kDeviceAlerts, kAlertCurrentFixed, currentFixed_);
    setBit(memory, kDeviceAlerts, kAlertCurrentSaturated,
           !currentFixed_ && (current <= 3.8 || current >= 20.5));
    setBit(memory, kDeviceAlerts, kAlertTemperatureHigh, temperature > 80.0);
    setBit(memory, kDeviceAlerts, kAlertTemperatureLow, temperature < -35.0);
}

std::uint8_t LevelBehaviour::takeRangeValue(DeviceMemory& memory, bool upper) {
    const double level = memory.number(kLevel);
    if (upper && level <= memory.number(kLowerRangeValue)) return kAppliedProcessTooLow;
    if (!upper && level >= memory.number(kUpperRangeValue)) return kAppliedProcessTooHigh;
    memory.setNumber(upper ? kUpperRangeValue : kLowerRangeValue, level);
    memory.setNumber(kPercentOfRange, percentOfRange(memory));
    return hart::kSuccess;
}

void LevelBehaviour::runFilterAutotune(DeviceMemory& memory) {
    ++autotuneRuns_;
    memory.setNumber(kFilterAutotuneResult, filterAutotuneFails_ ? kTestFailed : kTestPassed);
    setBit(memory, kDeviceAlerts, kAlertAutotuneFailed, filterAutotuneFails_);
    if (filterAutotuneFails_) return;
    memory.setNumber(kFilterTime, 2.0 + 0.1 * (autotuneRuns_ % 5));
    memory.setNumber(kFilterGain, 0.3);
    memory.setNumber(kNoiseBand, 0.4 + 0.05 * (autotuneRuns_ % 3));
}

std::uint8_t LevelBehaviour::execute(const CommandInfo& command, DeviceMemory& memory) {
    switch (command.number) {
        case kCmdSetUpperRange:
            return takeRangeValue(memory, true);
        case kCmdSetLowerRange:
            return takeRangeValue(memory, false);
        case kCmdFixedCurrent:
            currentFixed_ = memory.number(kFixedCurrent) != 0.0;
            memory.setNumber(kLoopCurrent, loopCurrent(memory));
            break;
        case kCmdClearFaults:
            memory.setNumber(kDeviceFaults, 0);
            memory.setNumber(kDeviceAlerts, 0);
            break;
        case kCmdResetDiagnostics:
            memory.setNumber(kMaxTemperature, memory.number(kElectronicsTemperature));
            memory.setNumber(kMinTemperature, memory.number(kElectronicsTemperature));
            break;
        case kCmdWriteMode:
            memory.setNumber(kActiveMode, memory.number(kModeToSet));
            break;
        case kCmdWriteSetpoint:
            memory.setNumber(kControllerSetpoint, memory.number(kLocalSetpoint));
            break;
        case kCmdSensorTest:
            memory.setNumber(kSensorTestResult, sensorTestFails_ ? kTestFailed : kTestPassed);
            setBit(memory, kDeviceAlerts, kAlertSensorTestFailed, sensorTestFails_);
            break;
        case kCmdFilterAutotune:
            runFilterAutotune(memory);
            break;
        case kCmdSpecificGravityZero:
            specificGravityOffset_ +=
                memory.number(kSpecificGravity) - specificGravityBase_ * specificGravityGain_;
            break;
        case kCmdSpecificGravitySpan:
            if (specificGravityBase_ > 0.0)
                specificGravityGain_ =
                    memory.number(kSpecificGravityReference) / specificGravityBase_;
            break;
        case kCmdSpecificGravityFactory:
            specificGravityGain_ = 1.0;
            specificGravityOffset_ = 0.0;
            break;
        default:
            break;
    }
    if (command.number >= kCmdSpecificGravityZero && command.number <= kCmdSpecificGravityFactory) {
        moveDiagnostics(memory, static_cast<double>(lastMs_ - startMs_));
    }
    updateAlerts(memory);
    return hart::kSuccess;
}

std::uint8_t LevelBehaviour::statusBits(const DeviceMemory& memory) const {
    std::uint8_t bits = 0;
    if (memory.integer(kDeviceFaults) != 0 || memory.integer(kDeviceAlerts) != 0)
        bits |= hart::kMoreStatusAvailable;
    if (currentFixed_) bits |= hart::kLoopCurrentFixed;
    const double current = memory.number(kLoopCurrent);
    if (!currentFixed_ && (current <= 3.8 || current >= 20.5)) bits |= hart::kLoopCurrentSaturated;
    const double percent = percentOfRange(memory);
    if (percent < 0.0 || percent > 100.0) bits |= hart::kPrimaryOutOfLimits;
    return bits;
}

}  // namespace simulator
