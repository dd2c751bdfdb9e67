// Reactions to single HART command transfers: vetoes before a command is
// sent, and what follows its completion.

#include <cmath>
#include <string>

#include "positioner/characterization_check.h"
#include "positioner/message_format.h"
#include "positioner/workflows.h"

namespace positioner {

namespace {

constexpr std::int64_t kRetransmitterOption = 0x10;
constexpr std::int64_t kSwitchOption = 0x08;
constexpr std::int64_t kActuatorPressureOption = 0x01;

// Raw converter counts of the input signal that a calibration point accepts.
struct CountWindow {
    double low;
    double high;
};
constexpr CountWindow kLowPointCounts{3500, 8500};
constexpr CountWindow kHighPointCounts{16000, 21000};

}  // namespace

void Workflows::beforeTransfer(int command, bool& cancel) {
    switch (command) {
        case 135:
            cancel = vetoModeChange();
            break;
        case 35:
            cancel = vetoRangeValues();
            break;
        case 40:
            cancel = vetoRetransmitter(true);
            break;
        case 207:
            cancel = vetoRetransmitter(false);
            break;
        case 142:
            cancel = (engine_.getInteger(ids::kOptionFlags) & kSwitchOption) == 0;
            break;
        case 191:
        case 192:
            cancel = (engine_.getInteger(ids::kOptionFlags) & kActuatorPressureOption) == 0;
            break;
        case 155:
            cancel = vetoManualSetpoint();
            break;
        case 172:
            cancel = vetoCharacteristic();
            break;
        case 185:
            cancel = vetoSignalCalibration();
            break;
        case 139:
        case 140:
            cancel = !engine_.isVisible(ids::kHistorianAvailable);
            break;
        default:
            break;
    }
}

bool Workflows::vetoModeChange() {
    const std::string active = engine_.get(ids::kActiveMode);
    if (engine_.get(ids::kModeToSet) == "3" || active != "3") return false;
    if (engine_.confirm("TEXT_LEAVE_NORMAL")) return false;
    engine_.set(ids::kModeToSet, active);
    return true;
}

bool Workflows::vetoRangeValues() {
    const double span =
        engine_.getNumber(ids::kUpperRangeValue) - engine_.getNumber(ids::kLowerRangeValue);
    if (std::fabs(span) >= 5) return false;
    engine_.message("pv_rangeError");
    return true;
}

bool Workflows::vetoRetransmitter(bool withMessage) {
    if ((engine_.getInteger(ids::kOptionFlags) & kRetransmitterOption) != 0) return false;
    if (withMessage) engine_.message("noPositionRetrasmitter");
    return true;
}

bool Workflows::vetoManualSetpoint() {
    const std::int64_t source = engine_.getInteger(ids::kSetpointSource);
    if (source == 0) {
        const double milliamps = engine_.getNumber(ids::kSetpoint);
        if (milliamps >= 4 && milliamps <= 20) return false;
        engine_.message("SignalSetpointOutOffRange");
        return true;
    }
    if (source != 2 && source != 3) return false;
    if (engine_.confirm("TEXT_STROKE_VALVE")) return false;
    engine_.set(ids::kSetpointSource, "0");
    engine_.set(ids::kManualStop, "0");
    return true;
}

bool Workflows::vetoCharacteristic() {
    if (engine_.get(ids::kCharacteristic) != "4") return true;
    engine_.setValid(ids::kCharacterizationEnable, true);
    const bool valid = checkCharacteristic(engine_);
    engine_.set(ids::kCharacteristicEndX, "255");
    engine_.set(ids::kCharacteristicEndY, "255");
    return !valid;
}

bool Workflows::vetoSignalCalibration() {
    if (engine_.get(ids::kCalibrationKind) != "0") return false;
    const std::string point = engine_.get(ids::kCalibrationPoint);
    const std::string value =
        engine_.get(point == "0" ? ids::kCalibrationSignalLow : ids::kCalibrationSignalHigh);
    if (engine_.messageBox(formatWithText(engine_.translate("SignalCalInfo"), value),
                           kMessageOkCancel) != kResultOk) {
        return true;
    }
    const double counts = engine_.getNumber(ids::kSignalRaw);
    const CountWindow* window = point == "0"   ? &kLowPointCounts
                                : point == "1" ? &kHighPointCounts
                                               : nullptr;
    if (window != nullptr && (counts < window->low || counts > window->high)) {
        engine_.message("SignalCalError");
        return true;
    }
    engine_.set(ids::kCalibrationValue, value);
    return false;
}

void Workflows::afterTransfer(int command) {
    if (resetSent_) {
        resetSent_ = false;
        engine_.message("ResetComplete");
    }
    if (running_ > 0) dispatch(running_, ids::kOnlineGate, command);
    switch (command) {
        case 249:
            afterModeRead();
            break;
        case 6:
            engine_.set(ids::kShortAddress, engine_.get(ids::kPollingAddress));
            break;
        case 42:
            resetSent_ = true;
            break;
        case 185:
            engine_.message("CalibrationCmdFinished");
            break;
        default:
            break;
    }
}

void Workflows::afterModeRead() {
    const std::string mode = engine_.get(ids::kActiveMode);
    engine_.setValid(ids::kSetupGate, mode == "0");
    engine_.setValid(ids::kManualGate, mode == "0" || mode == "1");
    engine_.setValid(ids::kManualStop, mode == "0" || mode == "1");
}

void Workflows::onlineStateChanged() {
    dispatch(0, 0, WorkflowEvent::kNoCommand);
    if (!engine_.online()) {
        for (ParameterId gate :
             {ids::kOnlineGate, ids::kSetupGate, ids::kManualGate, ids::kManualStop}) {
            engine_.setValid(gate, false);
        }
    } else {
        engine_.setValid(ids::kOnlineGate, true);
    }
}

}  // namespace positioner
