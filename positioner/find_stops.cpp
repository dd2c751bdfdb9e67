// Find stops: the device drives the valve to both stops; command 251 is
// polled while it is busy, command 136 then tells whether it succeeded.

#include "positioner/workflows.h"

namespace positioner {

void Workflows::findStops(ProcedureCall& call) {
    const WorkflowEvent& e = call.event;
    if (e.is(ids::kCancel)) {
        if (call.step == 3) engine_.run("download[253]");
        cancelRun(call);
        return;
    }
    switch (call.step) {
        case 0:
            if (!e.isStartOrContinue()) return;
            // A refused start leaves the procedure waiting at step 0.
            if (engine_.get(ids::kActiveMode) != "0") {
                engine_.message("SETUP_MODE_NEEDED");
            } else if (engine_.get(ids::kOutOfServiceReason) == "128") {
                engine_.message("FindValveStopsNotAllowed");
            } else {
                call.status = "TEXT_STROKE_VALVE";
                call.step = 1;
            }
            return;
        case 1:
            if (!e.isStartOrContinue()) return;
            call.status = "TEXT_FIND_STOPS";
            call.step = 2;
            return;
        case 2:
            if (!e.isStartOrContinue()) return;
            call.status = "TEXT_FIND_STOPS_STARTED";
            engine_.setValid(call.continueButton, false);
            engine_.run("download[180]");
            call.step = 3;
            return;
        case 3:
            if (e.done(180)) {
                engine_.run("download[251]");
            } else if (e.done(251)) {
                if (engine_.get(ids::kProcedureStatus) != "0") {
                    pollAgain();
                } else {
                    engine_.run("download[136]");
                    call.step = 4;
                }
            }
            return;
        case 4:
            engine_.setValid(call.continueButton, true);
            if (e.done(136)) {
                call.status = engine_.get(ids::kFindStopsFailed) != "0" ? "FindStopFault"
                                                                        : "FindStopCompleted";
                call.step = 5;
            }
            return;
        case 5:
            if (e.is(ids::kContinue)) call.step = -1;
            return;
        default:
            return;
    }
}

}  // namespace positioner
