// The DTM's set-up at the end of the engine's environment set-up: user
// parameters first, then the observations, each followed by the reaction that
// brings its derived values up to date.

#include "positioner/workflows.h"

namespace positioner {

Workflows::Workflows(EngineLink& engine) : engine_(engine) {}

void Workflows::createUserParameters() {
    for (ParameterId gate : {ids::kOnlineGate, ids::kSetupGate, ids::kManualGate}) {
        engine_.create(gate, "");
        engine_.setValid(gate, false);
    }
    engine_.create(ids::kManualStop, "");
    engine_.observe(ids::kManualStop);
    engine_.create(ids::kManualInfo, "String");
    engine_.set(ids::kManualInfo, "TEXT_STROKE_VALVE");
    for (ParameterId id :
         {ids::kCharacterizationRequest, ids::kPressureGroupVisible, ids::kSwitchGroupVisible}) {
        engine_.create(id, "");
        engine_.observe(id);
    }
    engine_.create(ids::kVariantAbove2, "");
    engine_.create(ids::kHistorianAvailable, "");
    for (ParameterId button : {ids::kStart, ids::kContinue, ids::kSkip, ids::kCancel}) {
        engine_.create(button, "");
        engine_.observe(button);
    }
    for (ParameterId procedure : ids::kProcedures) {
        engine_.create(procedure, "String");
        for (ParameterId offset = ids::kStartEnabled; offset <= ids::kSkipEnabled; ++offset) {
            engine_.create(procedure + offset, "");
        }
    }
    engine_.create(ids::kPressureWarning, "String");
    engine_.create(ids::kMoreStatus, "String");
}

void Workflows::observeDeviceParameters() {
    engine_.observe(ids::kStatusSummary);
    engine_.create(ids::kDownloadReminder, "");
    engine_.observe(ids::kDownloadReminder);
    engine_.observe(ids::kActiveMode);
    engine_.observe(ids::kOutOfServiceReason);
    engine_.create(ids::kModeText, "String");
    changed(ids::kActiveMode);

    engine_.observe(ids::kPressureUnit);
    engine_.observe(ids::kDeviceVariant);
    changed(ids::kDeviceVariant);
    engine_.observe(ids::kOptionFlags);
    changed(ids::kOptionFlags);
    for (ParameterId id :
         {ids::kHistoryTimeClosed, ids::kHistoryTimeOpen, ids::kCycles, ids::kTotalTravel,
          ids::kStrokeTimeDirection, ids::kStrokeTime, ids::kStrokeTimeCode,
          ids::kActuatorPressure1, ids::kSupplyPressure, ids::kCharacteristic}) {
        engine_.observe(id);
    }
}

void Workflows::initialise() {
    createUserParameters();
    observeDeviceParameters();
    const std::string characteristic = engine_.get(ids::kCharacteristic);
    engine_.observe(ids::kTightShutoffEnable);

    const InitialisingScope scope(*this);
    if (characteristic != "4") engine_.setValid(ids::kCharacterizationEnable, false);
    for (ParameterId button : {ids::kSaveBaseline, ids::kSaveSignature}) {
        engine_.create(button, "");
        engine_.setValid(button, false);
    }
    dispatch(0, 0, WorkflowEvent::kNoCommand);
}

}  // namespace positioner
