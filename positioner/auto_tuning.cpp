// Auto tuning: the device tunes its controller; command 251 is polled while
// it is busy, commands 216 and 136 then bring the results and the outcome.

#include <string>
#include <string_view>

#include "positioner/message_format.h"
#include "positioner/workflows.h"

namespace positioner {

namespace {

// The result text of an unknown error code holds at most this many characters.
constexpr std::size_t kUnknownResultLength = 99;

struct ErrorKey {
    std::string_view code;
    std::string_view key;
};
constexpr ErrorKey kAutoTuningErrors[] = {
    {"33", "AT_FAIL_OPEN_LOOP"}, {"45", "AT_FAIL_P_TOO_SMALL"}, {"46", "AT_FAIL_PADJ_TOO_BIG"},
    {"55", "AT_BIAS_OUT_RANGE"}, {"66", "AT_OVER_TIME_FILL"},   {"77", "AT_OVER_TIME_EXHA"},
};

// The supply pressure the tuning assumes, in the configured unit.
std::string_view defaultSupplyPressure(std::string_view unit) {
    if (unit == "7") return "2";     // bar
    if (unit == "12") return "200";  // kPa
    return "30";                     // psi
}

}  // namespace

std::string Workflows::autoTuningResult() {
    if (engine_.get(ids::kAutotuneFailed) != "1") return "AutotuneCompleted";
    const std::string code = engine_.get(ids::kAutotuneError);
    for (const ErrorKey& error : kAutoTuningErrors) {
        if (code == error.code) return std::string(error.key);
    }
    return cutToCharacters(formatWithText(engine_.translate("AT_UNKNOWN"), code),
                           kUnknownResultLength);
}

void Workflows::autoTuning(ProcedureCall& call) {
    const WorkflowEvent& e = call.event;
    if (e.is(ids::kCancel)) {
        if (call.step == 4) engine_.run("download[253]");
        cancelRun(call);
    } else if (call.step == 0) {
        if (e.isStartOrContinue()) {
            if (inSetupMode()) {
                call.status = "TEXT_STROKE_VALVE";
                call.step = 1;
            } else {
                call.step = -1;
            }
        }
    } else if (call.step == 1) {
        if (e.is(ids::kContinue)) {
            engine_.run("upload[210, 200]");
            call.status = "TEXT_PLEASE_WAIT";
            engine_.setValid(call.continueButton, false);
        } else if (e.done(200)) {
            engine_.setValid(call.continueButton, true);
            const bool limited = engine_.get(ids::kProtectLimits) == "1" &&
                                 (engine_.get(ids::kUpperLimitEnable) == "1" ||
                                  engine_.get(ids::kLowerLimitEnable) == "1");
            if (limited) {
                engine_.message("RemoveSoftwareLimitAutoTune");
                call.step = -1;
            } else {
                // Step 2 runs in the same call: the tuning's starting values.
                call.status = "StartAutoTune";
                for (ParameterId result : ids::kAutotuneResults) engine_.set(result, "0");
                engine_.setValid(ids::kAutotuneSupply, true);
                engine_.setValid(ids::kAutotuneAggressiveness, true);
                engine_.set(ids::kAutotuneSupply,
                            defaultSupplyPressure(engine_.get(ids::kPressureUnit)));
                call.step = 3;
            }
        }
    } else if (call.step == 3) {
        if (e.is(ids::kContinue) && !engine_.isOutOfRange(ids::kAutotuneSupply) &&
            !engine_.isOutOfRange(ids::kAutotuneAggressiveness)) {
            engine_.run("upload[189]");
            call.status = "TEXT_PLEASE_WAIT";
            engine_.setValid(call.continueButton, false);
            engine_.setValid(ids::kAutotuneSupply, false);
            engine_.setValid(ids::kAutotuneAggressiveness, false);
            call.step = 4;
        }
    } else if (call.step == 4) {
        if (e.done(251) && engine_.get(ids::kProcedureStatus) == "0") {
            engine_.run("upload[216,136]");
            call.step = 5;
        } else if (e.doneAnyOf(189, 251)) {
            pollAgain();
        }
    } else if (call.step == 5) {
        if (e.done(136)) {
            engine_.setValid(call.continueButton, true);
            call.status = autoTuningResult();
            call.step = 6;
        }
    } else if (call.step == 6) {
        if (e.is(ids::kContinue)) call.step = -1;
    }
    if (call.step == -1) {
        engine_.setValid(ids::kAutotuneSupply, false);
        engine_.setValid(ids::kAutotuneAggressiveness, false);
    }
}

}  // namespace positioner
