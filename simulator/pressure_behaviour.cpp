#include "simulator/pressure_behaviour.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "simulator/hart_codes.h"

namespace simulator {
namespace {

constexpr double kPi = 3.141592653589793;

constexpr ReferenceId kTag = 1122622930;
constexpr ReferenceId kLongTag = 1421392210;
constexpr ReferenceId kSearchTag = 598213236;
constexpr ReferenceId kSearchLongTag = 786579544;
constexpr ReferenceId kPressure = 196666074;  // primary variable
constexpr ReferenceId kPressureUnit = 1115162868;
constexpr ReferenceId kPercentOfRange = 158833582;
constexpr ReferenceId kLoopCurrent = 698020263;
constexpr ReferenceId kSensorTemperature = 397537796;  // secondary variable
constexpr ReferenceId kScaledOutput = 972363231;       // quaternary variable, percent
constexpr ReferenceId kUpperRangeValue = 177080380;
constexpr ReferenceId kLowerRangeValue = 1304192516;
constexpr ReferenceId kUpperSensorLimit = 658764900;
constexpr ReferenceId kLowerSensorLimit = 1573511756;
constexpr ReferenceId kMinimumSpan = 228338778;
constexpr ReferenceId kSensorLimitsUnit = 76979866;
constexpr ReferenceId kWriteProtect = 989101498;
constexpr ReferenceId kLoopCurrentMode = 1804907112;
constexpr ReferenceId kConfigurationChangeCounter = 436007525;

constexpr std::uint8_t kCmdIdentifyByTag = 11;
constexpr std::uint8_t kCmdIdentifyByLongTag = 21;
constexpr std::uint8_t kCmdWriteRangeValues = 35;
constexpr std::uint8_t kCmdWritePvUnit = 44;

constexpr std::uint8_t kInvalidUnitCode = 12;
constexpr std::uint8_t kInvalidRangeUnitCode = 28;

constexpr int kWriteProtected = 1;
constexpr int kLoopCurrentDisabled = 0;

struct PressureUnit {
    int code;
    double pascal;
};

// Pascal per unit, for the pressure units of the common table.
constexpr PressureUnit kPressureUnits[] = {
    {1, 248.84},     // inH2O at 68 degF
    {2, 3386.389},   // inHg at 0 degC
    {3, 2986.08},    // ftH2O at 68 degF
    {4, 9.79619},    // mmH2O at 68 degF
    {5, 133.3224},   // mmHg at 0 degC
    {6, 6894.757},   // psi
    {7, 100000.0},   // bar
    {8, 100.0},      // mbar
    {9, 98.0665},    // g/cm2
    {10, 98066.5},   // kg/cm2
    {11, 1.0},       // Pa
    {12, 1000.0},    // kPa
    {13, 133.3224},  // torr
    {14, 101325.0},  // atm
    {145, 248.84},   // inH2O at 60 degF
    {237, 1.0e6},    // MPa
    {238, 249.089},  // inH2O at 4 degC
    {239, 9.80665},  // mmH2O at 4 degC
};

std::optional<double> pascalPer(int unit) {
    for (const PressureUnit& entry : kPressureUnits) {
        if (entry.code == unit) return entry.pascal;
    }
    return std::nullopt;
}

double wave(double elapsedMs, double periodMs) {
    return std::sin(2.0 * kPi * elapsedMs / periodMs);
}

int unitOf(const DeviceMemory& memory) {
    return static_cast<int>(memory.integer(kPressureUnit));
}

// The tag that a command 11 or 21 request names, read as the device reads it.
std::string requestedTag(const DeviceMemory& memory, ReferenceId searchId,
                         std::span<const std::uint8_t> request) {
    DeviceMemory probe = memory;
    const std::size_t size = memory.description().parameter(searchId)->size;
    probe.decode(searchId, request.first(std::min(size, request.size())));
    return probe.text(searchId);
}

}  // namespace

void PressureBehaviour::start(DeviceMemory& memory, std::int64_t nowMs) {
    startMs_ = lastMs_ = nowMs;
    pressureBase_ = memory.number(kPressure);
    pressureUnit_ = unitOf(memory);
    temperatureBase_ = memory.number(kSensorTemperature);
    move(memory, 0.0);
}

void PressureBehaviour::advance(DeviceMemory& memory, std::int64_t nowMs) {
    if (nowMs <= lastMs_) return;
    lastMs_ = nowMs;
    move(memory, static_cast<double>(nowMs - startMs_));
}

double PressureBehaviour::percentOfRange(const DeviceMemory& memory) const {
    const double upper = memory.number(kUpperRangeValue);
    const double lower = memory.number(kLowerRangeValue);
    if (upper == lower) return 0.0;
    return (memory.number(kPressure) - lower) / (upper - lower) * 100.0;
}

double PressureBehaviour::loopCurrent(const DeviceMemory& memory) const {
    if (memory.integer(kLoopCurrentMode) == kLoopCurrentDisabled) return 4.0;
    return std::clamp(4.0 + 16.0 * percentOfRange(memory) / 100.0, 3.8, 20.5);
}

// The pressure swings by 5 % of the span around where it started, once a
// minute; the sensor temperature drifts slowly with it.
void PressureBehaviour::move(DeviceMemory& memory, double elapsedMs) const {
    const double span = std::abs(memory.number(kUpperRangeValue) - memory.number(kLowerRangeValue));
    memory.setNumber(kPressure, pressureBase_ + 0.05 * span * wave(elapsedMs, 60000.0));
    const double percent = percentOfRange(memory);
    memory.setNumber(kPercentOfRange, percent);
    memory.setNumber(kScaledOutput, percent);
    memory.setNumber(kLoopCurrent, loopCurrent(memory));
    memory.setNumber(kSensorTemperature, temperatureBase_ + 0.5 * wave(elapsedMs, 600000.0));
}

bool PressureBehaviour::answers(const CommandInfo& command, std::span<const std::uint8_t> request,
                                const DeviceMemory& memory) const {
    if (command.number == kCmdIdentifyByTag)
        return requestedTag(memory, kSearchTag, request) == memory.text(kTag);
    if (command.number == kCmdIdentifyByLongTag)
        return requestedTag(memory, kSearchLongTag, request) == memory.text(kLongTag);
    return true;
}

std::uint8_t PressureBehaviour::admit(const CommandInfo& command, const DeviceMemory& current,
                                      const DeviceMemory& staged) {
    configurationChanged_ = false;
    const bool identifying =
        command.number == kCmdIdentifyByTag || command.number == kCmdIdentifyByLongTag;
    if (command.request.empty() || identifying) return hart::kSuccess;
    if (current.integer(kWriteProtect) == kWriteProtected) return hart::kWriteProtected;
    if (!pascalPer(unitOf(staged))) {
        if (command.number == kCmdWritePvUnit) return kInvalidUnitCode;
        if (command.number == kCmdWriteRangeValues) return kInvalidRangeUnitCode;
    }
    for (const RequestItem& item : command.request) {
        const ParameterInfo* info = current.description().parameter(item.id);
        if (info != nullptr && !info->dynamic && !current.sameValue(staged, item.id))
            configurationChanged_ = true;
    }
    return hart::kSuccess;
}

void PressureBehaviour::convertPressures(DeviceMemory& memory, int fromUnit, int toUnit,
                                         bool ranges) {
    const std::optional<double> from = pascalPer(fromUnit);
    const std::optional<double> to = pascalPer(toUnit);
    if (!from || !to) return;
    const double factor = *from / *to;
    pressureBase_ *= factor;
    for (ReferenceId id : {kUpperSensorLimit, kLowerSensorLimit, kMinimumSpan})
        memory.setNumber(id, memory.number(id) * factor);
    memory.setNumber(kSensorLimitsUnit, toUnit);
    if (ranges) {
        for (ReferenceId id : {kUpperRangeValue, kLowerRangeValue})
            memory.setNumber(id, memory.number(id) * factor);
    }
}

std::uint8_t PressureBehaviour::execute(const CommandInfo& command, DeviceMemory& memory) {
    if (const int unit = unitOf(memory); unit != pressureUnit_) {
        // Command 35 writes its range values in the new unit already.
        convertPressures(memory, pressureUnit_, unit, command.number == kCmdWritePvUnit);
        pressureUnit_ = unit;
    }
    if (configurationChanged_) {
        memory.setNumber(
            kConfigurationChangeCounter,
            static_cast<double>((memory.integer(kConfigurationChangeCounter) + 1) & 0xFFFF));
        configurationChanged_ = false;
    }
    move(memory, static_cast<double>(lastMs_ - startMs_));
    return hart::kSuccess;
}

std::uint8_t PressureBehaviour::statusBits(const DeviceMemory& memory) const {
    std::uint8_t bits = 0;
    if (memory.integer(kLoopCurrentMode) == kLoopCurrentDisabled) {
        bits |= hart::kLoopCurrentFixed;
    } else {
        const double current = memory.number(kLoopCurrent);
        if (current <= 3.8 || current >= 20.5) bits |= hart::kLoopCurrentSaturated;
    }
    const double pressure = memory.number(kPressure);
    if (pressure > memory.number(kUpperSensorLimit) || pressure < memory.number(kLowerSensorLimit))
        bits |= hart::kPrimaryOutOfLimits;
    return bits;
}

void PressureBehaviour::setWriteProtected(DeviceMemory& memory, bool on) const {
    memory.setNumber(kWriteProtect, on ? kWriteProtected : 0);
}

}  // namespace simulator
