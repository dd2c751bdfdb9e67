// Diagnostics: a valve signature run. Steps marked "any call" in the
// procedure's design also act in the call that reached them, so that each
// stage shows its status and buttons at once.

#include "positioner/workflows.h"

namespace positioner {

namespace {

bool softwareLimitActive(const EngineLink& engine) {
    if (engine.get(ids::kProtectLimits) != "1") return false;
    for (ParameterId limit :
         {ids::kUpperLimitEnable, ids::kLowerLimitEnable, ids::kTightShutoffEnable}) {
        if (engine.get(limit) == "1") return true;
    }
    return false;
}

}  // namespace

void Workflows::diagnostics(ProcedureCall& call) {
    const WorkflowEvent& e = call.event;
    if (e.is(ids::kCancel)) {
        if (call.step == 3) engine_.run("download[253]");
        cancelRun(call);
        return;
    }
    if (call.step == 0) {
        if (!e.isStartOrContinue()) return;
        if (!inSetupMode()) {
            call.step = -1;
            return;
        }
        call.status = "TEXT_STROKE_VALVE";
        call.step = 1;
        return;
    }
    if (call.step == 1) {
        if (e.is(ids::kContinue)) {
            engine_.run("upload[210, 200]");
            call.status = "TEXT_PLEASE_WAIT";
            engine_.setValid(ids::kDiagnosticsContinue, false);
        } else if (e.done(200)) {
            engine_.setValid(ids::kDiagnosticsContinue, true);
            if (softwareLimitActive(engine_)) {
                call.status = "RemoveSoftwareLimit";
                call.step = -1;
                return;
            }
            call.step = 2;
        }
    }
    if (call.step == 2) {
        call.status = "ContinueToStartProzedure";
        engine_.set(91960530, "10");
        engine_.set(355593108, "0");
        engine_.set(1471241131, "1.0");
        engine_.set(975363836, "0.0");
        engine_.set(1650953595, "100.0");
        engine_.set(1316907256, "1");
        engine_.setVisible(ids::kDiagnosticsRampSpeed, true);
        if (e.is(ids::kContinue) && !engine_.isOutOfRange(ids::kDiagnosticsRampSpeed)) {
            engine_.run("download[190]");
            call.step = 3;
        }
    }
    if (call.step == 3) {
        call.status = "TEXT_PLEASE_WAIT";
        engine_.setValid(ids::kDiagnosticsContinue, false);
        if (e.done(251) && engine_.get(ids::kProcedureStatus) == "0") {
            engine_.run("upload[136]");
            call.step = 4;
        } else if (e.doneAnyOf(190, 251)) {
            pollAgain();
        }
    }
    if (call.step == 4) {
        engine_.setValid(ids::kDiagnosticsContinue, true);
        if (e.done(136)) {
            if (engine_.get(ids::kDiagnosticsFailed) == "1") {
                call.status = "DiagnosticsFAILED.";
                call.step = -1;
                return;
            }
            call.status = "DiagnosticsCompleted";
            engine_.run("setvalue[625914617=0],upload[191],upload[192]");
        } else if (e.done(192)) {
            call.status = "PressButtonsToSave";
            call.step = 5;
        }
    }
    if (call.step == 5) {
        engine_.setValid(ids::kSaveBaseline, true);
        engine_.setValid(ids::kSaveSignature, true);
        if (e.is(ids::kContinue)) {
            engine_.setValid(ids::kSaveBaseline, false);
            engine_.setValid(ids::kSaveSignature, false);
            call.status.clear();
            call.step = -1;
        }
    }
}

}  // namespace positioner
