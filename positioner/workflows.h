#pragma once
// The positioner's device knowledge on top of the generic engine: its user
// parameters, its reactions to parameter changes and to single HART command
// transfers, and six guided procedures run as step machines (auto tuning,
// factory configuration, calibration reset, find stops, diagnostics, setup
// wizard). One procedure runs at a time; its state survives between calls.
//
// Every entry point runs on the DTM's apartment thread and may be re-entered:
// the engine calls back into the observer while the workflows write
// parameters, and the 500 ms waits between busy polls run the apartment
// loop's due work.

#include <cstdint>
#include <string>
#include <string_view>

#include "positioner/engine_link.h"
#include "positioner/positioner_ids.h"

namespace positioner {

// What a step machine is called for: a button press, a completed HART
// command (source ids::kOnlineGate with its number) or a plain re-evaluation.
struct WorkflowEvent {
    static constexpr int kNoCommand = -1;

    ParameterId source = 0;
    int command = kNoCommand;

    bool is(ParameterId button) const { return source == button; }
    bool isStartOrContinue() const { return source == ids::kStart || source == ids::kContinue; }
    bool done(int number) const { return source == ids::kOnlineGate && command == number; }
    bool doneAnyOf(int a, int b) const { return done(a) || done(b); }
};

class Workflows {
public:
    explicit Workflows(EngineLink& engine);
    Workflows(const Workflows&) = delete;
    Workflows& operator=(const Workflows&) = delete;

    // Creates the user parameters, registers the observations and brings the
    // derived values and the procedure buttons up to date.
    void initialise();

    // A parameter that the DTM observes changed: reacts unless the engine
    // reports it unchanged (while initialising every call reacts).
    void changed(ParameterId id);

    // Before a HART command is sent; sets cancel to veto it.
    void beforeTransfer(int command, bool& cancel);
    // After a HART command completed (255 after a whole transfer list).
    void afterTransfer(int command);
    // The channel's connection state changed.
    void onlineStateChanged();

    // The procedure dispatcher: code names a procedure (0 re-evaluates only),
    // source the button or ids::kOnlineGate, command the completed command.
    void dispatch(ParameterId code, ParameterId source, int command);

    ParameterId runningProcedure() const { return running_; }
    int step() const { return step_; }
    int innerStep() const { return innerStep_; }
    bool initialising() const { return initialising_; }

    // Marks the set-up of initialise(): while one lives, every observed change
    // reacts whatever the engine's changed state says.
    class InitialisingScope {
    public:
        explicit InitialisingScope(Workflows& workflows) : workflows_(workflows) {
            workflows_.initialising_ = true;
        }
        ~InitialisingScope() { workflows_.initialising_ = false; }
        InitialisingScope(const InitialisingScope&) = delete;
        InitialisingScope& operator=(const InitialisingScope&) = delete;

    private:
        Workflows& workflows_;
    };

private:
    // One call of a procedure's step machine.
    struct ProcedureCall {
        int& step;  // the running step, or the wizard's inner step
        const WorkflowEvent& event;
        ParameterId continueButton;  // the wizard's Continue inside it, else the procedure's own
        std::string status;          // written to the procedure's P when not empty
    };

    // --- initialisation (initialisation.cpp) ---
    void createUserParameters();
    void observeDeviceParameters();

    // --- dispatcher (procedure_dispatcher.cpp) ---
    void showOffline();
    void updateButtons();
    void releaseIfEnded();
    void pressButton(ParameterId button);
    // Runs procedure's step machine and writes its status; the status key.
    std::string runProcedure(ParameterId procedure, int& step, const WorkflowEvent& event,
                             bool insideWizard);
    void stepMachine(ParameterId procedure, ProcedureCall& call);
    // The common start check of find stops, diagnostics, auto tuning and the
    // wizard: true when the device is in setup mode, else the message.
    bool inSetupMode();
    // Cancel: the procedure and the run it belongs to end, and the
    // dispatcher releases the run at once.
    void cancelRun(ProcedureCall& call);
    // The next busy poll of command 251 after the device's 500 ms.
    void pollAgain();

    // --- the procedures (one file each) ---
    void factoryConfiguration(ProcedureCall& call);
    void calibrationReset(ProcedureCall& call);
    void findStops(ProcedureCall& call);
    void diagnostics(ProcedureCall& call);
    void autoTuning(ProcedureCall& call);
    std::string autoTuningResult();
    void setupWizard(ProcedureCall& call);
    // Hands the event to the wizard's inner procedure; true when it ended.
    bool runInner(ParameterId procedure, ProcedureCall& wizard);

    // --- observer reactions (observer_reactions.cpp) ---
    void react(ParameterId id);
    void downloadReminder();
    void manualStop();
    void pressureWarning();
    void pressureLimits();
    void historianTimes();
    void historianRate(ParameterId changed);
    void combineStrokeTime();
    void splitStrokeTime();
    void modeText();
    void optionFlags();
    void deviceVariant();
    void statusSummary();

    // --- transfer reactions (transfer_reactions.cpp) ---
    bool vetoModeChange();
    bool vetoRangeValues();
    bool vetoRetransmitter(bool withMessage);
    bool vetoManualSetpoint();
    bool vetoCharacteristic();
    bool vetoSignalCalibration();
    void afterModeRead();

    EngineLink& engine_;
    ParameterId running_ = -1;
    int step_ = -1;
    int innerStep_ = -1;
    bool manualStopStarted_ = false;
    bool initialising_ = false;
    bool resetSent_ = false;
};

}  // namespace positioner
