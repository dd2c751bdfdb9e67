// The positioner's reactions to parameter changes and to single command
// transfers, against the simulated positioner.

#include <algorithm>
#include <ostream>

#include "platform/com/memory_stream.h"
#include "positioner/description_files.h"
#include "positioner/engine_link.h"
#include "positioner/positioner_ids.h"
#include "positioner/workflows.h"
#include "tests/positioner/positioner_session.h"

namespace positioner_test {
namespace {

using namespace positioner::ids;

bool sent(const std::vector<int>& commands, int command) {
    return std::find(commands.begin(), commands.end(), command) != commands.end();
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

class PositionerReactions : public PositionerSession {
protected:
    void SetUp() override {
        PositionerSession::SetUp();
        bringOnline();
    }

    double number(std::int32_t parameter) { return positioner::leadingNumber(value(parameter)); }

    // Runs script and answers whether command went to the device.
    bool transfers(std::string_view script, int command) {
        const std::size_t mark = commands().size();
        run(script);
        return sent(commandsFrom(mark), command);
    }

    void saveDataSet(IUnknown& dtm) {
        com::ComPtr<IStream> stream;
        ASSERT_EQ(com::createMemoryStream(stream.put()), S_OK);
        com::ComPtr<IUnknown> holder(&dtm);
        ASSERT_EQ(holder.as<IPersistStreamInit>()->Save(stream.get(), TRUE), S_OK);
    }

    void setCharacteristic(const std::vector<std::pair<int, int>>& points) {
        setValue(kCharacteristic, "4");
        for (std::size_t i = 0; i < kCharacteristicPoints.size(); ++i) {
            const auto [x, y] = i < points.size() ? points[i] : std::pair<int, int>{255, 255};
            setValue(kCharacteristicPoints[i].x, std::to_string(x));
            setValue(kCharacteristicPoints[i].y, std::to_string(y));
        }
    }
};

// --- derived values ---

struct StrokeCase {
    const char* direction;
    const char* time;
    const char* code;
};

void PrintTo(const StrokeCase& c, std::ostream* os) {
    *os << "direction " << c.direction << " time " << c.time;
}

class PositionerStrokeTime : public PositionerReactions,
                             public ::testing::WithParamInterface<StrokeCase> {};

TEST_P(PositionerStrokeTime, DirectionAndTimeMakeTheCodeAndBack) {
    const StrokeCase& c = GetParam();
    setValue(kStrokeTime, "0");
    setValue(kStrokeTimeDirection, c.direction);
    setValue(kStrokeTime, c.time);
    EXPECT_EQ(value(kStrokeTimeCode), c.code);
    EXPECT_EQ(value(kStrokeTimeDirection), c.direction)
        << "the code written back split the pair again";

    setValue(kStrokeTimeCode, "1");
    EXPECT_EQ(value(kStrokeTimeDirection), "0");
    EXPECT_EQ(value(kStrokeTime), "1");
    setValue(kStrokeTimeCode, c.code);
    // A zero time carries no direction.
    EXPECT_EQ(value(kStrokeTimeDirection), std::string_view(c.time) == "0" ? "0" : c.direction);
    EXPECT_EQ(value(kStrokeTime), c.time);
}

INSTANTIATE_TEST_SUITE_P(Table, PositionerStrokeTime,
                         ::testing::Values(StrokeCase{"2", "5", "-1005"},
                                           StrokeCase{"1", "5", "-5"}, StrokeCase{"0", "7", "7"},
                                           StrokeCase{"2", "999", "-1999"},
                                           StrokeCase{"1", "999", "-999"},
                                           StrokeCase{"2", "0", "0"}));

TEST_F(PositionerReactions, TheCodeThatTheCombinationWritesIsNotSplitAgain) {
    setValue(kStrokeTimeDirection, "1");
    setValue(kStrokeTime, "5");
    EXPECT_EQ(value(kStrokeTimeCode), "-5");
    setValue(kStrokeTime, "0");
    EXPECT_EQ(value(kStrokeTimeCode), "0");
    EXPECT_EQ(value(kStrokeTimeDirection), "1");
}

struct PressureCase {
    const char* unit;
    const char* actuator;
    const char* supply;
    bool warns;
};

void PrintTo(const PressureCase& c, std::ostream* os) {
    *os << "unit " << c.unit << " pressures " << c.actuator << " " << c.supply;
}

class PositionerPressureWarning : public PositionerReactions,
                                  public ::testing::WithParamInterface<PressureCase> {};

TEST_P(PositionerPressureWarning, DependsOnTheUnit) {
    const PressureCase& c = GetParam();
    setValue(kPressureUnit, c.unit);
    setValue(kActuatorPressure1, c.actuator);
    setValue(kSupplyPressure, c.supply);
    EXPECT_EQ(value(kPressureWarning), c.warns ? "PressureCalibrationWarning" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Table, PositionerPressureWarning,
    ::testing::Values(PressureCase{"7", "0.1", "0.1", false}, PressureCase{"7", "0.1", "0.2", true},
                      PressureCase{"6", "3.0", "1.0", true}, PressureCase{"6", "2.8", "2.8", false},
                      PressureCase{"12", "19", "19", false}, PressureCase{"12", "19", "21", true}));

struct LimitCase {
    const char* unit;
    double gaugeMax;
    double supplyMin;
    double supplyMax;
};

void PrintTo(const LimitCase& c, std::ostream* os) {
    *os << "unit " << c.unit;
}

class PositionerPressureLimits : public PositionerReactions,
                                 public ::testing::WithParamInterface<LimitCase> {};

TEST_P(PositionerPressureLimits, FollowTheUnit) {
    setValue(kPressureUnit, "12");
    setValue(kPressureUnit, GetParam().unit);
    EXPECT_DOUBLE_EQ(number(kPressureMax), GetParam().gaugeMax);
    EXPECT_DOUBLE_EQ(number(kAutotuneSupplyMin), GetParam().supplyMin);
    EXPECT_DOUBLE_EQ(number(kAutotuneSupplyMax), GetParam().supplyMax);
}

INSTANTIATE_TEST_SUITE_P(Table, PositionerPressureLimits,
                         ::testing::Values(LimitCase{"7", 10, 1.379, 8.274},
                                           LimitCase{"6", 150, 20, 120}));

TEST_F(PositionerReactions, UnitChangeReactsOnlyWhenChangedOrWhileInitialising) {
    setValue(kPressureUnit, "7");
    EXPECT_DOUBLE_EQ(number(kPressureMax), 10);
    setValue(kPressureMax, "99");
    saveDataSet(*dtm_.get());  // the walk clears every changed flag
    dtm_.as<IObserver>()->Changed(id(kPressureUnit));
    EXPECT_DOUBLE_EQ(number(kPressureMax), 99) << "an unchanged unit wrote the limits";

    // The same call inside the initialisation's set-up, on an engine of its own.
    com::ComPtr<IQadGenericDTMObject> engine;
    ASSERT_EQ(CoCreateInstance(CLSID_QadGenericDTMObject, nullptr, CLSCTX_INPROC_SERVER,
                               IQadGenericDTMObject::iid, engine.putVoid()),
              S_OK);
    const positioner::DescriptionFiles files =
        positioner::descriptionFilesIn(positionerPackage().string() + "/");
    ASSERT_EQ(
        engine->SetDeviceDescription(text(files.zorFile).get(), text(files.descFile).get(),
                                     text(files.iconFile).get(), text(files.languageFile).get()),
        S_OK);
    const auto engineDtm = engine.as<IDtm>();
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(engineDtm->Environment(text("POS-2").get(), container_.get(), &ok), S_OK);
    engineDtm->InitNew(nullptr, &ok);
    engineDtm->Config(text(userInformation("maintenance")).get(), &ok);
    positioner::EngineLink link(engine.get(), {});
    link.set(kPressureUnit, "7");
    link.set(kPressureMax, "99");
    saveDataSet(*engine.get());
    positioner::Workflows workflows(link);
    workflows.changed(kPressureUnit);
    EXPECT_DOUBLE_EQ(link.getNumber(kPressureMax), 99);
    {
        const positioner::Workflows::InitialisingScope initialising(workflows);
        workflows.changed(kPressureUnit);
    }
    EXPECT_DOUBLE_EQ(link.getNumber(kPressureMax), 10);
    EXPECT_EQ(engineDtm->PrepareToRelease(&ok), S_OK);
}

struct HistorianCase {
    const char* closed;
    const char* open;
    const char* cycles;
    const char* gaugeMax;
    const char* cyclesPerHour;
};

void PrintTo(const HistorianCase& c, std::ostream* os) {
    *os << "closed " << c.closed << " open " << c.open;
}

class PositionerHistorian : public PositionerReactions,
                            public ::testing::WithParamInterface<HistorianCase> {};

TEST_P(PositionerHistorian, GaugeMaximumAndRates) {
    const HistorianCase& c = GetParam();
    setValue(kHistoryTimeOpen, c.open);
    setValue(kHistoryTimeClosed, c.closed);
    setValue(kCycles, c.cycles);
    EXPECT_EQ(value(kTimeGaugeMax), c.gaugeMax);
    EXPECT_EQ(value(kTimeClosed), c.closed);
    EXPECT_EQ(value(kTimeOpen), c.open);
    EXPECT_EQ(value(kCyclesPerHour), c.cyclesPerHour);
}

INSTANTIATE_TEST_SUITE_P(Table, PositionerHistorian,
                         ::testing::Values(HistorianCase{"7200", "0", "100", "36000", "50"},
                                           HistorianCase{"1000", "500", "30", "36000", "30"},
                                           HistorianCase{"40000", "5000", "25", "45000", "2"},
                                           HistorianCase{"3000000000", "3000000000", "6000000",
                                                         "4294967295", "3"}));

struct VariantCase {
    const char* variant;
    bool pilot;
    bool above2;
    bool historian;
};

void PrintTo(const VariantCase& c, std::ostream* os) {
    *os << "variant " << c.variant;
}

class PositionerDeviceVariant : public PositionerReactions,
                                public ::testing::WithParamInterface<VariantCase> {};

TEST_P(PositionerDeviceVariant, ShowsWhatTheDeviceHas) {
    setValue(kDeviceVariant, GetParam().variant);
    EXPECT_EQ(visible(kPilotPressure), GetParam().pilot);
    EXPECT_EQ(visible(kVariantAbove2), GetParam().above2);
    EXPECT_EQ(visible(kHistorianAvailable), GetParam().historian);
    EXPECT_EQ(transfers("upload[139]", 139), GetParam().historian);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PositionerDeviceVariant,
    ::testing::Values(VariantCase{"0", false, false, false}, VariantCase{"2", false, false, true},
                      VariantCase{"3", false, true, true}, VariantCase{"4", true, true, true},
                      VariantCase{"5", false, true, false}, VariantCase{"6", true, true, false}));

TEST_F(PositionerReactions, SmallerReactions) {
    setValue(kStatusSummary, "1");
    EXPECT_EQ(value(kMoreStatus), "moreStatusAvailable");
    setValue(kStatusSummary, "0");
    EXPECT_EQ(value(kMoreStatus), "");

    setValue(kTightShutoffEnable, "0");
    EXPECT_FALSE(valid(kTightShutoffValue));
    setValue(kTightShutoffEnable, "1");
    EXPECT_TRUE(valid(kTightShutoffValue));
    setValue(kCharacteristic, "4");
    EXPECT_TRUE(valid(kCharacterizationEnable));
    setValue(kCharacteristic, "1");
    EXPECT_FALSE(valid(kCharacterizationEnable));

    const std::size_t shown = events().size();
    setValue(kDownloadReminder, "1");
    EXPECT_EQ(messagesFrom(shown),
              (std::vector<std::string>{translated("DownloadAfterConfigReset")}));
    EXPECT_EQ(value(kDownloadReminder), "0");
}

TEST_F(PositionerReactions, ManualStopDrivesToTheStopAndReleasesItOnce) {
    enterSetupMode();
    run("upload[249]");
    ASSERT_TRUE(valid(kManualStop));
    setValue(kAirAction, "1");
    std::size_t mark = commands().size();
    setValue(kManualStop, "1");
    settle();
    EXPECT_EQ(commandsFrom(mark), (std::vector<int>{155}));
    EXPECT_EQ(value(kSetpointSource), "2");
    EXPECT_EQ(value(kManualStopDirection), "0");
    EXPECT_EQ(value(kManualInfo), "ManualStopInfo");

    mark = commands().size();
    setValue(kManualStop, "0");
    settle();
    EXPECT_EQ(commandsFrom(mark), (std::vector<int>{179}));
    EXPECT_EQ(value(kManualInfo), "");
}

TEST_F(PositionerReactions, CommunicationGatesFollowTheModeAndTheConnection) {
    EXPECT_TRUE(valid(kOnlineGate));
    struct GateCase {
        const char* mode;
        bool setup, manual;
    };
    for (const GateCase& c :
         {GateCase{"0", true, true}, GateCase{"1", false, true}, GateCase{"3", false, false}}) {
        answer({"buttonOk"});
        run(std::string("setvalue[360852134=") + c.mode + "],download[135],upload[249]");
        EXPECT_EQ(valid(kSetupGate), c.setup) << c.mode;
        EXPECT_EQ(valid(kManualGate), c.manual) << c.mode;
        EXPECT_EQ(valid(kManualStop), c.manual) << c.mode;
    }
    enterSetupMode();
    run("upload[249]");
    goOffline();
    for (std::int32_t gate : {kOnlineGate, kSetupGate, kManualGate, kManualStop})
        EXPECT_FALSE(valid(gate)) << gate;
}

// --- the characteristic ---

struct CharacteristicCase {
    std::vector<std::pair<int, int>> points;
    const char* fault;
    const char* percent;
};

void PrintTo(const CharacteristicCase& c, std::ostream* os) {
    *os << c.fault;
}

class PositionerCharacteristicCheck : public PositionerReactions,
                                      public ::testing::WithParamInterface<CharacteristicCase> {};

TEST_P(PositionerCharacteristicCheck, NamesTheFirstBadSegment) {
    setCharacteristic(GetParam().points);
    const std::size_t shown = events().size();
    setValue(kCharacterizationRequest, "1");
    const std::string expected =
        replaced(replaced(translated(GetParam().fault), "%.1f", GetParam().percent), "%%", "%");
    EXPECT_EQ(messagesFrom(shown), (std::vector<std::string>{expected}));
    EXPECT_EQ(value(kCharacterizationRequest), "0");
    EXPECT_FALSE(transfers("download[172]", 172));
}

INSTANTIATE_TEST_SUITE_P(
    Table, PositionerCharacteristicCheck,
    ::testing::Values(
        CharacteristicCase{{{64, 16}, {80, 32}}, "InvalidSegmentSlopeChangeTooMuch", "25.0"},
        CharacteristicCase{{{64, 64}, {128, 70}}, "InvalidSegmentSlopeChangeTooSlow", "25.0"},
        CharacteristicCase{{{64, 16}, {64, 40}}, "InvalidSegmentSameX", "25.0"},
        CharacteristicCase{{{100, 5}}, "InvalidSegmentLowSlope", "39.1"},
        CharacteristicCase{{{10, 200}}, "InvalidSegmentHighSlope", "3.9"}));

TEST_F(PositionerReactions, AValidCharacteristicIsSortedAndWritten) {
    setCharacteristic(
        {{57, 57}, {28, 28}, {85, 85}, {114, 114}, {142, 142}, {171, 171}, {199, 199}, {228, 228}});
    const std::size_t shown = events().size();
    EXPECT_TRUE(transfers("download[172]", 172));
    EXPECT_EQ(messagesFrom(shown), std::vector<std::string>{});
    EXPECT_EQ(value(kCharacteristicPoints[0].x), "28");
    EXPECT_EQ(value(kCharacteristicPoints[1].x), "57");
    EXPECT_EQ(value(kCharacteristicEndX), "255");
    EXPECT_EQ(value(kCharacteristicEndY), "255");
    setValue(kCharacteristic, "0");
    EXPECT_FALSE(transfers("download[172]", 172)) << "only the custom characteristic is written";
}

// --- vetoes before a command is sent ---

TEST_F(PositionerReactions, LeavingNormalModeNeedsAgreement) {
    answer({"buttonCancel"});
    std::size_t shown = events().size();
    EXPECT_FALSE(transfers("setvalue[360852134=0],download[135]", 135));
    EXPECT_EQ(messagesFrom(shown), (std::vector<std::string>{translated("TEXT_LEAVE_NORMAL")}));
    EXPECT_EQ(value(kModeToSet), "3");
    answer({"buttonOk"});
    EXPECT_TRUE(transfers("setvalue[360852134=0],download[135]", 135));
    EXPECT_EQ(value(kActiveMode), "0");
    shown = events().size();
    EXPECT_TRUE(transfers("setvalue[360852134=1],download[135]", 135));
    EXPECT_EQ(messagesFrom(shown), std::vector<std::string>{}) << "only leaving normal mode asks";
}

class PositionerSetupModeReactions : public PositionerReactions {
protected:
    void SetUp() override {
        PositionerReactions::SetUp();
        enterSetupMode();
    }
};

TEST_F(PositionerSetupModeReactions, RangeValuesMustDifferByFivePercent) {
    const std::size_t shown = events().size();
    EXPECT_FALSE(transfers("setvalue[365794669=50],setvalue[1904220959=48],download[35]", 35));
    EXPECT_EQ(messagesFrom(shown), (std::vector<std::string>{translated("pv_rangeError")}));
    EXPECT_TRUE(transfers("setvalue[365794669=80],setvalue[1904220959=20],download[35]", 35));
}

struct OptionCase {
    const char* flags;
    const char* script;
    int command;
    bool goes;
    const char* message;  // empty: vetoed silently
};

void PrintTo(const OptionCase& c, std::ostream* os) {
    *os << "flags " << c.flags << " " << c.script;
}

class PositionerOptionVetoes : public PositionerSetupModeReactions,
                               public ::testing::WithParamInterface<OptionCase> {};

TEST_P(PositionerOptionVetoes, NeedTheInstalledOption) {
    const OptionCase& c = GetParam();
    setValue(kOptionFlags, c.flags);
    const std::size_t shown = events().size();
    EXPECT_EQ(transfers(c.script, c.command), c.goes);
    const std::vector<std::string> expected = *c.message != '\0'
                                                  ? std::vector<std::string>{translated(c.message)}
                                                  : std::vector<std::string>{};
    EXPECT_EQ(messagesFrom(shown), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PositionerOptionVetoes,
    ::testing::Values(OptionCase{"15", "download[40]", 40, false, "noPositionRetrasmitter"},
                      OptionCase{"31", "setvalue[46460907=0],download[40]", 40, true, ""},
                      OptionCase{"15", "upload[207]", 207, false, ""},
                      OptionCase{"23", "upload[142]", 142, false, ""},
                      OptionCase{"31", "upload[142]", 142, true, ""},
                      OptionCase{"30", "upload[191]", 191, false, ""},
                      OptionCase{"30", "upload[192]", 192, false, ""},
                      OptionCase{"31", "upload[192]", 192, true, ""}));

TEST_F(PositionerSetupModeReactions, ManualSetpointChecksSignalAndStops) {
    std::size_t shown = events().size();
    EXPECT_FALSE(transfers("setvalue[2093141900=0],setvalue[1023235601=2],download[155]", 155));
    EXPECT_EQ(messagesFrom(shown),
              (std::vector<std::string>{translated("SignalSetpointOutOffRange")}));
    EXPECT_TRUE(transfers("setvalue[2093141900=0],setvalue[1023235601=12],download[155]", 155));

    answer({"buttonCancel"});
    shown = events().size();
    EXPECT_FALSE(transfers("setvalue[2093141900=3],setvalue[1023235601=100],download[155]", 155));
    EXPECT_EQ(messagesFrom(shown), (std::vector<std::string>{translated("TEXT_STROKE_VALVE")}));
    EXPECT_EQ(value(kSetpointSource), "0");
    EXPECT_EQ(value(kManualStop), "0");
    answer({"buttonOk"});
    EXPECT_TRUE(transfers("setvalue[2093141900=3],setvalue[1023235601=100],download[155]", 155));
}

TEST_F(PositionerSetupModeReactions, SignalCalibrationChecksTheAppliedCurrent) {
    const std::string ask =
        replaced(translated("SignalCalInfo"), "%s", value(kCalibrationSignalLow));
    const char* script = "setvalue[707049616=0],setvalue[711731265=0],download[185]";

    answer({"buttonCancel"});
    std::size_t shown = events().size();
    EXPECT_FALSE(transfers(script, 185));
    EXPECT_EQ(messagesFrom(shown), (std::vector<std::string>{ask}));

    setValue(kSignalRaw, "12010");
    shown = events().size();
    EXPECT_FALSE(transfers(script, 185));
    EXPECT_EQ(messagesFrom(shown), (std::vector<std::string>{ask, translated("SignalCalError")}));

    setValue(kSignalRaw, "4000");
    shown = events().size();
    EXPECT_TRUE(transfers(script, 185));
    EXPECT_EQ(messagesFrom(shown),
              (std::vector<std::string>{ask, translated("CalibrationCmdFinished")}));
    EXPECT_EQ(value(kCalibrationValue), value(kCalibrationSignalLow));

    shown = events().size();
    EXPECT_TRUE(transfers(
        "setvalue[707049616=1],setvalue[711731265=0],setvalue[525996180=0],download[185]", 185));
    EXPECT_EQ(messagesFrom(shown), (std::vector<std::string>{translated("CalibrationCmdFinished")}))
        << "a pressure calibration asks nothing";
}

TEST_F(PositionerSetupModeReactions, ResetIsReportedAtTheNextCompletedCommand) {
    const std::size_t shown = events().size();
    run("download[42]");
    EXPECT_EQ(messagesFrom(shown), std::vector<std::string>{});
    run("upload[0]");
    EXPECT_EQ(messagesFrom(shown), (std::vector<std::string>{translated("ResetComplete")}));
    run("upload[0]");
    EXPECT_EQ(messagesFrom(shown).size(), 1u);
}

}  // namespace
}  // namespace positioner_test
