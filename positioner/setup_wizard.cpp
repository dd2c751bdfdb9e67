// The setup wizard: air action, then find stops, auto tuning and factory
// configuration, each run inside the wizard or skipped.

#include "positioner/workflows.h"

namespace positioner {

namespace {

// The inner procedure of a wizard step and what follows when it ends.
struct WizardStage {
    int step;
    ParameterId procedure;
    const char* nextStatus;
    bool skipAgain;  // whether Skip becomes valid again for the next stage
};
constexpr WizardStage kStages[] = {
    {2, ids::kFindStops, "SkipAutoTune", true},
    {3, ids::kAutoTuning, "SkipFactoryConfig", true},
    {4, ids::kFactoryConfiguration, "SetupWizFinished", false},
};

const WizardStage* stageAt(int step) {
    for (const WizardStage& stage : kStages) {
        if (stage.step == step) return &stage;
    }
    return nullptr;
}

}  // namespace

bool Workflows::runInner(ParameterId procedure, ProcedureCall& wizard) {
    const std::string status = runProcedure(procedure, innerStep_, wizard.event, true);
    if (!status.empty()) wizard.status = status;
    return innerStep_ < 0;
}

void Workflows::setupWizard(ProcedureCall& call) {
    const WorkflowEvent& e = call.event;
    const bool innerRuns = innerStep_ >= 0;
    if (e.is(ids::kCancel) && !innerRuns) {
        cancelRun(call);
        return;
    }
    if (call.step == 0) {
        if (!e.isStartOrContinue()) return;
        engine_.setValid(ids::kWizardSkip, false);
        if (!inSetupMode()) {
            call.step = -1;
            return;
        }
        call.status = "TEXT_PLEASE_WAIT";
        engine_.setValid(ids::kWizardContinue, false);
        engine_.run("download[210]");
        call.step = 1;
        return;
    }
    if (call.step == 1) {
        if (e.done(210)) {
            call.status = "SkipAirActionConfiguration";
            engine_.setValid(ids::kWizardSkip, true);
            engine_.setValid(ids::kWizardContinue, true);
        } else if (e.is(ids::kSkip)) {
            call.status = "SkipFindStops";
            call.step = 2;
        } else if (e.is(ids::kContinue)) {
            call.status = "TEXT_PLEASE_WAIT";
            engine_.setValid(ids::kWizardContinue, false);
            engine_.run("download[165]");
        } else if (e.done(165)) {
            engine_.setValid(ids::kWizardContinue, true);
            call.status = "SkipFindStops";
            call.step = 2;
        }
        return;
    }
    if (const WizardStage* stage = stageAt(call.step)) {
        if (!innerRuns && e.is(ids::kSkip)) {
            call.status = stage->nextStatus;
            call.step = stage->step + 1;
            return;
        }
        if (!innerRuns && !e.is(ids::kContinue)) return;
        if (!innerRuns) innerStep_ = 0;
        engine_.setValid(ids::kWizardSkip, false);
        if (runInner(stage->procedure, call)) {
            call.status = stage->nextStatus;
            if (stage->skipAgain) engine_.setValid(ids::kWizardSkip, true);
            call.step = stage->step + 1;
        }
        return;
    }
    if (call.step == 5 && e.is(ids::kContinue)) {
        call.status.clear();
        call.step = -1;
    }
}

}  // namespace positioner
