// Reactions to changes of observed parameters: button presses, derived
// values, visibility and validity that follow device values.

#include <algorithm>
#include <cstdint>
#include <string>

#include "positioner/characterization_check.h"
#include "positioner/workflows.h"

namespace positioner {

namespace {

// The stroke-time reactions write parameters that they observe themselves;
// one flag for the whole module keeps them from re-entering each other, in
// every DTM object of the process.
bool strokeTimeReactionRuns = false;

class StrokeTimeGuard {
public:
    StrokeTimeGuard() : entered_(!strokeTimeReactionRuns) { strokeTimeReactionRuns = true; }
    ~StrokeTimeGuard() {
        if (entered_) strokeTimeReactionRuns = false;
    }
    StrokeTimeGuard(const StrokeTimeGuard&) = delete;
    StrokeTimeGuard& operator=(const StrokeTimeGuard&) = delete;
    bool entered() const { return entered_; }

private:
    bool entered_;
};

std::string decimal(std::int64_t value) {
    return std::to_string(value);
}

constexpr std::int64_t kLargestCounter = 4294967295;

// Pressure unit codes of the HART common tables.
constexpr std::string_view kPsi = "6";
constexpr std::string_view kBar = "7";
constexpr std::string_view kKiloPascal = "12";

}  // namespace

void Workflows::changed(ParameterId id) {
    if (!initialising_ && !engine_.isChanged(id)) return;
    react(id);
}

void Workflows::react(ParameterId id) {
    switch (id) {
        case ids::kStart:
        case ids::kContinue:
        case ids::kCancel:
        case ids::kSkip:
            pressButton(id);
            break;
        case ids::kCharacterizationRequest:
            if (engine_.get(id) == "1") {
                engine_.set(id, "0");
                checkCharacteristic(engine_);
            }
            break;
        case ids::kDownloadReminder:
            downloadReminder();
            break;
        case ids::kManualStop:
            manualStop();
            break;
        case ids::kActuatorPressure1:
        case ids::kSupplyPressure:
            pressureWarning();
            break;
        case ids::kPressureUnit:
            pressureLimits();
            break;
        case ids::kHistoryTimeOpen:
        case ids::kHistoryTimeNear:
        case ids::kHistoryTimeClosed:
            historianTimes();
            break;
        case ids::kCycles:
        case ids::kTotalTravel:
            historianRate(id);
            break;
        case ids::kStrokeTimeDirection:
        case ids::kStrokeTime:
            combineStrokeTime();
            break;
        case ids::kStrokeTimeCode:
            splitStrokeTime();
            break;
        case ids::kOutOfServiceReason:
        case ids::kActiveMode:
            modeText();
            break;
        case ids::kOptionFlags:
            optionFlags();
            break;
        case ids::kTightShutoffEnable:
            engine_.setValid(ids::kTightShutoffValue, engine_.get(id) == "1");
            break;
        case ids::kCharacteristic:
            engine_.setValid(ids::kCharacterizationEnable, engine_.get(id) == "4");
            break;
        case ids::kStatusSummary:
            statusSummary();
            break;
        case ids::kDeviceVariant:
            deviceVariant();
            break;
        default:
            break;
    }
}

void Workflows::downloadReminder() {
    if (engine_.getInteger(ids::kDownloadReminder) == 0) return;
    engine_.message("DownloadAfterConfigReset");
    engine_.set(ids::kDownloadReminder, "0");
}

void Workflows::manualStop() {
    if (!engine_.isValid(ids::kManualStop)) return;
    const std::string selection = engine_.get(ids::kManualStop);
    if (selection == "1" || selection == "2") {
        const std::string air = engine_.get(ids::kAirAction);
        engine_.set(ids::kSetpointSource, "3");
        if ((selection == "1" && air == "1") || (selection == "2" && air == "0")) {
            engine_.set(ids::kSetpointSource, "2");
        }
        engine_.set(ids::kManualStopDirection, selection == "1" ? "0" : "1");
        engine_.set(ids::kManualInfo, "ManualStopInfo");
        engine_.run("download[155]");
        manualStopStarted_ = true;
    } else if (selection == "0") {
        if (manualStopStarted_) {
            manualStopStarted_ = false;
            engine_.run("download[179]");
        }
        engine_.set(ids::kManualInfo, "");
    }
}

void Workflows::pressureWarning() {
    const std::string unit = engine_.get(ids::kPressureUnit);
    const double first = engine_.getNumber(ids::kActuatorPressure1);
    const double supply = engine_.getNumber(ids::kSupplyPressure);
    const auto bothBelow = [&](double limit) { return first < limit && supply < limit; };
    const bool quiet = (unit == kPsi && bothBelow(2.9)) || (unit == kBar && bothBelow(0.2)) ||
                       (unit == kKiloPascal && bothBelow(20));
    engine_.set(ids::kPressureWarning, quiet ? "" : "PressureCalibrationWarning");
}

void Workflows::pressureLimits() {
    // About the same three pressures (gauge maximum, tuning supply window) in each unit.
    const std::string unit = engine_.get(ids::kPressureUnit);
    const char* const* limits = nullptr;
    static constexpr const char* kBarLimits[] = {"10", "1.379", "8.274"};
    static constexpr const char* kKiloPascalLimits[] = {"1000", "137.9", "827.4"};
    static constexpr const char* kPsiLimits[] = {"150", "20", "120"};
    if (unit == kBar) {
        limits = kBarLimits;
    } else if (unit == kKiloPascal) {
        limits = kKiloPascalLimits;
    } else {
        limits = kPsiLimits;
    }
    engine_.set(ids::kPressureMax, limits[0]);
    engine_.set(ids::kAutotuneSupplyMin, limits[1]);
    engine_.set(ids::kAutotuneSupplyMax, limits[2]);
}

void Workflows::historianTimes() {
    // The counters are unsigned 32-bit: their sum is formed in 64 bits and
    // kept within what the gauge maximum can hold.
    const std::int64_t closed = engine_.getInteger(ids::kHistoryTimeClosed);
    const std::int64_t open = engine_.getInteger(ids::kHistoryTimeOpen);
    const std::int64_t maximum = std::clamp<std::int64_t>(closed + open, 36000, kLargestCounter);
    engine_.set(ids::kTimeGaugeMax, decimal(maximum));
    engine_.set(ids::kTimeClosed, engine_.get(ids::kHistoryTimeClosed));
    engine_.set(ids::kTimeOpen, engine_.get(ids::kHistoryTimeOpen));
    engine_.set(ids::kTimeNear, engine_.get(ids::kHistoryTimeNear));
}

void Workflows::historianRate(ParameterId changedId) {
    const std::int64_t seconds =
        engine_.getInteger(ids::kHistoryTimeClosed) + engine_.getInteger(ids::kHistoryTimeOpen);
    const std::int64_t hours = std::max<std::int64_t>(1, seconds / 3600);
    const std::int64_t rate = engine_.getInteger(changedId) / hours;
    engine_.set(changedId == ids::kCycles ? ids::kCyclesPerHour : ids::kTravelPerHour,
                decimal(rate));
}

void Workflows::combineStrokeTime() {
    const StrokeTimeGuard guard;
    if (!guard.entered()) return;
    const std::string direction = engine_.get(ids::kStrokeTimeDirection);
    const std::int64_t time = engine_.getInteger(ids::kStrokeTime);
    std::int64_t code = time;
    if (time > 0 && direction == "1") code = -time;
    if (time > 0 && direction == "2") code = -time - 1000;
    engine_.set(ids::kStrokeTimeCode, decimal(code));
}

void Workflows::splitStrokeTime() {
    const StrokeTimeGuard guard;
    if (!guard.entered()) return;
    const std::int64_t code = engine_.getInteger(ids::kStrokeTimeCode);
    const char* direction = "0";
    std::int64_t time = code;
    if (code < -999) {
        direction = "2";
        time = -code - 1000;
    } else if (code < 0) {
        direction = "1";
        time = -code;
    }
    engine_.set(ids::kStrokeTimeDirection, direction);
    engine_.set(ids::kStrokeTime, decimal(time));
}

void Workflows::modeText() {
    const std::string mode = engine_.get(ids::kActiveMode);
    std::string text = "unknown";
    if (mode == "3") {
        text = "MODE_NORMAL";
    } else if (mode == "1") {
        text = "MODE_MANUAL";
    } else if (mode == "0") {
        const std::string reason = engine_.get(ids::kOutOfServiceReason);
        if (reason == "0") {
            text = "MODE_OOS_SETUP";
        } else if (reason == "1") {
            text = "MODE_OOS_LOWPOWER";
        } else if (reason == "2") {
            text = "MODE_OOS_FAILSAFE";
        } else if (reason == "4") {
            text = "MODE_OOS_FATAL";
        } else if (reason == "128") {
            text = "MODE_OOS_MARGINALPOWER";
        } else {
            text = "MODE_OOS";
        }
    }
    engine_.set(ids::kModeText, text);
    engine_.setVisible(ids::kSetpoint, mode != "3");
}

void Workflows::optionFlags() {
    const std::int64_t flags = engine_.getInteger(ids::kOptionFlags);
    const auto has = [flags](std::int64_t mask) { return (flags & mask) != 0; };
    engine_.setVisible(ids::kActuatorPressure1, has(0x01));
    engine_.setVisible(ids::kActuatorPressure2, has(0x02));
    engine_.setVisible(ids::kSupplyPressure, has(0x04));
    engine_.setVisible(ids::kSwitch1State, has(0x08));
    engine_.setVisible(ids::kSwitch2State, has(0x08));
    engine_.setVisible(ids::kUpperRangeValue, has(0x10));
    engine_.setVisible(ids::kLowerRangeValue, has(0x10));
    engine_.setVisible(ids::kPressureGroupVisible, has(0x07));
    engine_.setVisible(ids::kSwitchGroupVisible, has(0x18));
}

void Workflows::statusSummary() {
    engine_.set(ids::kMoreStatus,
                engine_.get(ids::kStatusSummary) == "0" ? "" : "moreStatusAvailable");
}

void Workflows::deviceVariant() {
    const std::int64_t variant = engine_.getInteger(ids::kDeviceVariant);
    engine_.setVisible(ids::kPilotPressure, variant == 4 || variant == 6);
    engine_.setVisible(ids::kVariantAbove2, variant > 2);
    engine_.setVisible(ids::kHistorianAvailable, variant >= 2 && variant <= 4);
}

}  // namespace positioner
