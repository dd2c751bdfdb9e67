// The procedure dispatcher: online check, start of a procedure, the button
// states of every procedure, the step machine of the running one and its
// release when it ended.

#include <thread>

#include "platform/loop/event_loop.h"
#include "positioner/workflows.h"

namespace positioner {

namespace {

constexpr auto kBusyPollInterval = std::chrono::milliseconds(500);

}  // namespace

void Workflows::dispatch(ParameterId code, ParameterId source, int command) {
    if (!engine_.online()) {
        showOffline();
        return;
    }
    if (running_ < 1 && code > 0 && source == ids::kStart) {
        running_ = code;
        step_ = 0;
        innerStep_ = -1;
    }
    updateButtons();
    if (running_ == code) {
        const WorkflowEvent event{source, command};
        runProcedure(running_, step_, event, false);
    }
    releaseIfEnded();
}

void Workflows::showOffline() {
    for (ParameterId procedure : ids::kProcedures) {
        engine_.set(procedure, "info_offline");
        for (ParameterId offset = ids::kStartEnabled; offset <= ids::kSkipEnabled; ++offset) {
            engine_.setValid(procedure + offset, false);
        }
    }
    engine_.setValid(ids::kAutotuneSupply, false);
    engine_.setValid(ids::kAutotuneAggressiveness, false);
}

void Workflows::updateButtons() {
    for (ParameterId procedure : ids::kProcedures) {
        if (running_ > 0 && running_ == procedure) {
            if (step_ == 0) {
                engine_.setValid(procedure + ids::kStartEnabled, false);
                engine_.setValid(procedure + ids::kContinueEnabled, true);
                engine_.setValid(procedure + ids::kSkipEnabled, true);
            }
            // Cancel stays possible for the whole run, also after the
            // buttons were disabled while the device was offline.
            engine_.setValid(procedure + ids::kCancelEnabled, true);
        } else if (running_ > 0) {
            engine_.set(procedure, "");
            for (ParameterId offset = ids::kStartEnabled; offset <= ids::kSkipEnabled; ++offset) {
                engine_.setValid(procedure + offset, false);
            }
        } else {
            engine_.set(procedure, "");
            engine_.setValid(procedure + ids::kStartEnabled, true);
            for (ParameterId offset = ids::kContinueEnabled; offset <= ids::kSkipEnabled;
                 ++offset) {
                engine_.setValid(procedure + offset, false);
            }
        }
    }
}

void Workflows::releaseIfEnded() {
    if (step_ >= 0 || running_ <= 0) return;
    running_ = -1;
    for (ParameterId procedure : ids::kProcedures) {
        engine_.setValid(procedure + ids::kStartEnabled, true);
        for (ParameterId offset = ids::kContinueEnabled; offset <= ids::kSkipEnabled; ++offset) {
            engine_.setValid(procedure + offset, false);
        }
    }
    if (engine_.get(ids::kActiveMode) == "0") engine_.message("SETUP_MODE_NO_LONGER_NEEDED");
}

void Workflows::pressButton(ParameterId button) {
    const std::int64_t code = engine_.getInteger(button);
    dispatch(static_cast<ParameterId>(code), button, WorkflowEvent::kNoCommand);
    engine_.set(button, "0");
}

std::string Workflows::runProcedure(ParameterId procedure, int& step, const WorkflowEvent& event,
                                    bool insideWizard) {
    const ParameterId ownContinue = procedure + ids::kContinueEnabled;
    ProcedureCall call{step, event, insideWizard ? ids::kWizardContinue : ownContinue, {}};
    stepMachine(procedure, call);
    // Calibration reset shows its status on every call, the empty one included.
    if (!call.status.empty() || procedure == ids::kCalibrationReset)
        engine_.set(procedure, call.status);
    return call.status;
}

void Workflows::stepMachine(ParameterId procedure, ProcedureCall& call) {
    switch (procedure) {
        case ids::kAutoTuning:
            autoTuning(call);
            break;
        case ids::kFactoryConfiguration:
            factoryConfiguration(call);
            break;
        case ids::kCalibrationReset:
            calibrationReset(call);
            break;
        case ids::kFindStops:
            findStops(call);
            break;
        case ids::kDiagnostics:
            diagnostics(call);
            break;
        case ids::kSetupWizard:
            setupWizard(call);
            break;
        default:
            // Not a procedure of this DTM: the run cannot go anywhere.
            call.step = -1;
            break;
    }
}

bool Workflows::inSetupMode() {
    if (engine_.get(ids::kActiveMode) == "0") return true;
    engine_.message("SETUP_MODE_NEEDED");
    return false;
}

void Workflows::cancelRun(ProcedureCall& call) {
    call.step = -1;
    step_ = -1;
    dispatch(0, 0, WorkflowEvent::kNoCommand);
}

void Workflows::pollAgain() {
    // The loop's sleep keeps the apartment's due work running; a host
    // without a loop only waits.
    if (hartdtm::loop::EventLoop* loop = hartdtm::loop::currentLoop()) {
        loop->sleep(kBusyPollInterval);
    } else {
        std::this_thread::sleep_for(kBusyPollInterval);
    }
    engine_.run("download[251]");
}

}  // namespace positioner
