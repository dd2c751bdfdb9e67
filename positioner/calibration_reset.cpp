// Calibration reset: one command, then the completion.

#include "positioner/workflows.h"

namespace positioner {

void Workflows::calibrationReset(ProcedureCall& call) {
    const WorkflowEvent& e = call.event;
    if (e.is(ids::kCancel)) {
        cancelRun(call);
        call.status.clear();
        return;
    }
    if (call.step == 0) {
        if (!e.isStartOrContinue()) return;
        call.status = "CalibrationResetRunning";
        engine_.run("download[183]");
        call.step = 1;
        engine_.setValid(call.continueButton, false);
        return;
    }
    if (call.step == 1) {
        call.status = "CalibrationResetRunning";
        if (e.done(183)) call.step = 2;
    }
    if (call.step == 2) {
        engine_.setValid(call.continueButton, true);
        call.status = "CalibrationResetComplete";
        engine_.set(ids::kStart, "0");
        call.step = -1;
        dispatch(0, 0, WorkflowEvent::kNoCommand);
    }
}

}  // namespace positioner
