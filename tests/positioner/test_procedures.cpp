// The guided procedures from Start to their end, against the simulated
// positioner on the virtual clock.

#include <algorithm>
#include <ostream>

#include "positioner/engine_link.h"
#include "positioner/positioner_ids.h"
#include "tests/positioner/positioner_session.h"
#include "tests/positioner/recording_observer.h"

namespace positioner_test {
namespace {

using namespace positioner::ids;

std::size_t countOf(const std::vector<int>& commands, int command) {
    return static_cast<std::size_t>(std::count(commands.begin(), commands.end(), command));
}

class PositionerProcedures : public PositionerSession {
protected:
    void SetUp() override {
        PositionerSession::SetUp();
        bringOnline();
        enterSetupMode();
    }

    // No procedure runs: every Start is enabled, every other button disabled.
    void expectIdle() {
        for (std::int32_t procedure : kProcedures) {
            EXPECT_TRUE(valid(startOf(procedure))) << procedure;
            EXPECT_FALSE(valid(continueOf(procedure))) << procedure;
            EXPECT_FALSE(valid(cancelOf(procedure))) << procedure;
            EXPECT_FALSE(valid(skipOf(procedure))) << procedure;
        }
    }
};

TEST_F(PositionerProcedures, FindStopsPollsTheBusyDeviceEvery500MsAndCompletes) {
    device().setBusyPolls(3);
    press(kStart, kFindStops);
    EXPECT_EQ(value(kFindStops), "TEXT_STROKE_VALVE");
    EXPECT_FALSE(valid(startOf(kFindStops)));
    EXPECT_TRUE(valid(cancelOf(kFindStops)));
    press(kContinue, kFindStops);
    EXPECT_EQ(value(kFindStops), "TEXT_FIND_STOPS");

    const std::size_t mark = commands().size();
    const auto started = session_->now();
    press(kContinue, kFindStops);
    EXPECT_EQ(commandsFrom(mark), (std::vector<int>{180, 251, 251, 251, 251, 136}));
    EXPECT_GE(session_->now() - started, 3 * 500ms);
    EXPECT_EQ(value(kFindStops), "FindStopCompleted");
    EXPECT_TRUE(valid(continueOf(kFindStops)));

    const std::size_t shown = events().size();
    press(kContinue, kFindStops);
    EXPECT_EQ(value(kFindStops), "");
    expectIdle();
    EXPECT_EQ(messagesFrom(shown),
              (std::vector<std::string>{translated("SETUP_MODE_NO_LONGER_NEEDED")}));
}

TEST_F(PositionerProcedures, FindStopsReportsTheDevicesFault) {
    device().setFindStopsFails(true);
    press(kStart, kFindStops);
    press(kContinue, kFindStops);
    press(kContinue, kFindStops);
    EXPECT_EQ(value(kFindStops), "FindStopFault");
}

TEST_F(PositionerProcedures, FindStopsOutsideSetupModeWaitsAtItsFirstStep) {
    answer({"buttonOk"});
    run("setvalue[360852134=3],download[135]");
    const std::size_t shown = events().size();
    press(kStart, kFindStops);
    EXPECT_EQ(messagesFrom(shown), (std::vector<std::string>{translated("SETUP_MODE_NEEDED")}));
    EXPECT_FALSE(valid(startOf(kAutoTuning))) << "find stops still runs and blocks the others";
    press(kCancel, kFindStops);
    expectIdle();
}

struct TuningCase {
    std::uint8_t errorCode;  // 0: the tuning succeeds
    const char* status;      // expected status; empty: the translated unknown-code text
};

void PrintTo(const TuningCase& c, std::ostream* os) {
    *os << "code " << int(c.errorCode);
}

class PositionerAutoTuning : public PositionerProcedures,
                             public ::testing::WithParamInterface<TuningCase> {};

TEST_P(PositionerAutoTuning, EndsWithTheResultOfTheDevice) {
    device().setAutoTuneError(GetParam().errorCode);
    press(kStart, kAutoTuning);
    EXPECT_EQ(value(kAutoTuning), "TEXT_STROKE_VALVE");
    press(kContinue, kAutoTuning);
    EXPECT_EQ(value(kAutoTuning), "StartAutoTune");
    EXPECT_DOUBLE_EQ(positioner::leadingNumber(value(kAutotuneSupply)), 30);
    EXPECT_TRUE(valid(kAutotuneSupply));
    EXPECT_TRUE(valid(kAutotuneAggressiveness));

    const std::size_t mark = commands().size();
    press(kContinue, kAutoTuning);
    const std::vector<int> sent = commandsFrom(mark);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front(), 189);
    EXPECT_EQ(countOf(sent, 251), 4u);
    EXPECT_EQ(std::vector<int>(sent.end() - 2, sent.end()), (std::vector<int>{216, 136}));
    const std::string expected =
        *GetParam().status != '\0'
            ? GetParam().status
            : "Autotune failed with error code " + std::to_string(GetParam().errorCode) + ".";
    EXPECT_EQ(value(kAutoTuning), expected);
    EXPECT_FALSE(valid(kAutotuneSupply));

    press(kContinue, kAutoTuning);
    expectIdle();
}

INSTANTIATE_TEST_SUITE_P(
    Codes, PositionerAutoTuning,
    ::testing::Values(TuningCase{0, "AutotuneCompleted"}, TuningCase{33, "AT_FAIL_OPEN_LOOP"},
                      TuningCase{45, "AT_FAIL_P_TOO_SMALL"}, TuningCase{46, "AT_FAIL_PADJ_TOO_BIG"},
                      TuningCase{55, "AT_BIAS_OUT_RANGE"}, TuningCase{66, "AT_OVER_TIME_FILL"},
                      TuningCase{77, "AT_OVER_TIME_EXHA"}, TuningCase{99, ""}));

TEST_F(PositionerProcedures, AutoTuningRefusesWhileSoftwareLimitsProtect) {
    run("setvalue[840707063=1],setvalue[1950661746=1],download[165]");
    press(kStart, kAutoTuning);
    const std::size_t shown = events().size();
    press(kContinue, kAutoTuning);
    EXPECT_EQ(messagesFrom(shown).front(), translated("RemoveSoftwareLimitAutoTune"));
    expectIdle();
}

TEST_F(PositionerProcedures, APendingResetIsReportedBeforeTheProcedureStepOfTheSameCompletion) {
    run("setvalue[840707063=1],setvalue[1950661746=1],download[165]");
    press(kStart, kAutoTuning);
    const std::size_t shown = events().size();
    act("setvalue[1000002=1000110]");  // command 210 goes out, 200 waits
    act("download[first,42]");         // the reset completes just before 200
    settle();
    const std::vector<std::string> shownTexts = messagesFrom(shown);
    ASSERT_GE(shownTexts.size(), 2u);
    EXPECT_EQ(shownTexts[0], translated("ResetComplete"));
    EXPECT_EQ(shownTexts[1], translated("RemoveSoftwareLimitAutoTune"));
}

TEST_F(PositionerProcedures, DiagnosticsCompletesWithTheSignatureUpload) {
    press(kStart, kDiagnostics);
    press(kContinue, kDiagnostics);
    EXPECT_EQ(value(kDiagnostics), "ContinueToStartProzedure");
    EXPECT_TRUE(visible(kDiagnosticsRampSpeed));
    EXPECT_EQ(value(91960530), "10");

    const std::size_t mark = commands().size();
    press(kContinue, kDiagnostics);
    const std::vector<int> sent = commandsFrom(mark);
    ASSERT_GE(sent.size(), 4u);
    EXPECT_EQ(sent.front(), 190);
    EXPECT_EQ(std::vector<int>(sent.end() - 3, sent.end()), (std::vector<int>{136, 191, 192}));
    EXPECT_EQ(value(kDiagnostics), "PressButtonsToSave");
    EXPECT_EQ(value(kSignatureSelect), "0");
    EXPECT_TRUE(valid(kSaveSignature));
    EXPECT_TRUE(valid(kSaveBaseline));

    press(kContinue, kDiagnostics);
    EXPECT_FALSE(valid(kSaveSignature));
    EXPECT_FALSE(valid(kSaveBaseline));
    expectIdle();
}

TEST_F(PositionerProcedures, DiagnosticsFailureEndsWithoutSignature) {
    device().setDiagnosticsFails(true);
    press(kStart, kDiagnostics);
    press(kContinue, kDiagnostics);
    const std::size_t mark = commands().size();
    press(kContinue, kDiagnostics);
    EXPECT_EQ(countOf(commandsFrom(mark), 191), 0u);
    EXPECT_EQ(value(kDiagnostics), "DiagnosticsFAILED.");
    expectIdle();
}

TEST_F(PositionerProcedures, FactoryConfigurationRunsItsCommandChain) {
    setValue(1389020516, "50");
    const std::size_t mark = commands().size();
    const std::size_t shown = events().size();
    press(kStart, kFactoryConfiguration);
    EXPECT_EQ(commandsFrom(mark),
              (std::vector<int>{165, 175, 210, 211, 212, 167, 181, 213, 173, 216}));
    EXPECT_EQ(messagesFrom(shown).front(), translated("FactoryConfigComplete"));
    EXPECT_EQ(value(kFactoryConfiguration), "FactoryConfigComplete");
    EXPECT_DOUBLE_EQ(positioner::leadingNumber(value(1389020516)), 100);
    EXPECT_EQ(value(97070578), "-2");
    expectIdle();
}

TEST_F(PositionerProcedures, CalibrationResetCompletes) {
    RecordingObserver* seen = nullptr;
    com::ComPtr<IObserver> observer;
    ASSERT_EQ(
        com::ComInstance<RecordingObserver>::create(nullptr, IObserver::iid, observer.putVoid()),
        S_OK);
    seen = static_cast<RecordingObserver*>(observer.get());
    seen->watch(priv_.get());
    priv_->RegisterObserver(id(kCalibrationReset), observer.get());

    const std::size_t mark = commands().size();
    press(kStart, kCalibrationReset);
    EXPECT_EQ(commandsFrom(mark), (std::vector<int>{183}));
    EXPECT_EQ(seen->valuesOf(kCalibrationReset),
              (std::vector<std::string>{"CalibrationResetRunning", "CalibrationResetComplete"}));
    EXPECT_EQ(value(kCalibrationReset), "CalibrationResetComplete");
    expectIdle();
    priv_->UnregisterObserver(id(kCalibrationReset), observer.get());
}

TEST_F(PositionerProcedures, StartOfAutoTuningWhileFactoryConfigurationRunsDoesNothing) {
    act("setvalue[1000001=1000120]");
    act("setvalue[1000001=1000110]");
    EXPECT_EQ(value(kFactoryConfiguration), "FactoryConfigRunning");
    EXPECT_EQ(value(kAutoTuning), "");
    for (std::int32_t button :
         {startOf(kAutoTuning), continueOf(kAutoTuning), cancelOf(kAutoTuning)}) {
        EXPECT_FALSE(valid(button)) << button;
    }
    settle();
    EXPECT_EQ(value(kFactoryConfiguration), "FactoryConfigComplete");
    EXPECT_EQ(countOf(commands(), 189), 0u);
}

TEST_F(PositionerProcedures,
       GoingOfflineShowsEveryProcedureOfflineAndCancelStaysPossibleAfterwards) {
    press(kStart, kFindStops);
    goOffline();
    for (std::int32_t procedure : kProcedures) {
        EXPECT_EQ(value(procedure), "info_offline") << procedure;
        EXPECT_FALSE(valid(cancelOf(procedure))) << procedure;
    }
    EXPECT_FALSE(valid(kOnlineGate));

    reconnect();
    EXPECT_TRUE(valid(kOnlineGate));
    EXPECT_TRUE(valid(cancelOf(kFindStops)));
    EXPECT_EQ(value(kAutoTuning), "");
    press(kCancel, kFindStops);
    expectIdle();
}

class PositionerSetupWizard : public PositionerProcedures {
protected:
    // The wizard past the air action, at its find-stops stage.
    void toFindStops() {
        press(kStart, kSetupWizard);
        EXPECT_EQ(value(kSetupWizard), "SkipAirActionConfiguration");
        EXPECT_TRUE(valid(kWizardSkip));
        press(kContinue, kSetupWizard);
        EXPECT_EQ(value(kSetupWizard), "SkipFindStops");
    }
};

TEST_F(PositionerSetupWizard, RunsFindStopsSkipsAutoTuningAndRunsFactoryConfiguration) {
    toFindStops();
    press(kContinue, kSetupWizard);
    EXPECT_EQ(value(kSetupWizard), "TEXT_STROKE_VALVE");
    EXPECT_FALSE(valid(kWizardSkip));
    press(kContinue, kSetupWizard);
    press(kContinue, kSetupWizard);
    EXPECT_EQ(value(kSetupWizard), "FindStopCompleted");
    press(kContinue, kSetupWizard);
    EXPECT_EQ(value(kSetupWizard), "SkipAutoTune");
    EXPECT_TRUE(valid(kWizardSkip));

    press(kSkip, kSetupWizard);
    EXPECT_EQ(value(kSetupWizard), "SkipFactoryConfig");
    const std::size_t mark = commands().size();
    press(kContinue, kSetupWizard);
    EXPECT_EQ(countOf(commandsFrom(mark), 216), 1u);
    EXPECT_EQ(value(kSetupWizard), "SetupWizFinished");
    EXPECT_FALSE(valid(kWizardSkip));
    EXPECT_EQ(countOf(commands(), 189), 0u);

    press(kContinue, kSetupWizard);
    expectIdle();
}

TEST_F(PositionerSetupWizard, CancelOfFindStopsInsideReleasesTheWizard) {
    com::ComPtr<IObserver> observer;
    ASSERT_EQ(
        com::ComInstance<RecordingObserver>::create(nullptr, IObserver::iid, observer.putVoid()),
        S_OK);
    auto* seen = static_cast<RecordingObserver*>(observer.get());
    seen->watch(priv_.get());

    toFindStops();
    press(kContinue, kSetupWizard);
    press(kContinue, kSetupWizard);
    EXPECT_EQ(value(kSetupWizard), "TEXT_FIND_STOPS");
    priv_->RegisterObserver(id(kSetupWizard), observer.get());
    priv_->RegisterObserver(id(kWizardSkip), observer.get());
    const std::size_t shown = events().size();
    press(kCancel, kSetupWizard);

    EXPECT_EQ(messagesFrom(shown),
              (std::vector<std::string>{translated("SETUP_MODE_NO_LONGER_NEEDED")}));
    expectIdle();
    // The wizard itself moved on to its auto-tuning stage before the button pass cleared it.
    const std::vector<std::string> statuses = seen->valuesOf(kSetupWizard);
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "SkipAutoTune"), statuses.end());

    const std::size_t mark = commands().size();
    press(kSkip, kSetupWizard);
    EXPECT_EQ(commandsFrom(mark), std::vector<int>{});
    EXPECT_EQ(value(kSetupWizard), "");
    press(kStart, kSetupWizard);
    EXPECT_EQ(commandsFrom(mark), (std::vector<int>{210}));
    EXPECT_EQ(value(kSetupWizard), "SkipAirActionConfiguration");
    priv_->UnregisterObserver(id(kSetupWizard), observer.get());
    priv_->UnregisterObserver(id(kWizardSkip), observer.get());
}

}  // namespace
}  // namespace positioner_test
