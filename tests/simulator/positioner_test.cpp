// The positioner's modes, procedures, signatures and resets, driven the way
// the positioner DTM's workflows drive them.
#include <gtest/gtest.h>

#include <map>

#include "simulator/hart_codes.h"
#include "simulator/positioner_behaviour.h"
#include "simulator_test_support.h"

namespace {

using simtest::Bytes;
using simtest::concat;
using simtest::floatBytes;
using Procedure = simulator::PositionerBehaviour::Procedure;
namespace hart = simulator::hart;

constexpr simulator::ReferenceId kLowerStopRaw = 1696477368;
constexpr simulator::ReferenceId kGain = 1054464796;

// Byte positions in the reply of command 136.
constexpr std::size_t kFaultDeviceReset = 0;
constexpr std::size_t kFaultFindStops = 9;
constexpr std::size_t kFaultAutoTune = 10;
constexpr std::size_t kFaultDiagnostics = 11;
constexpr std::size_t kHistoricFindStops = 48;
constexpr std::size_t kHistoricDeviceReset = 39;
constexpr std::size_t kAutoTuneErrorCode = 78;

class SimulatorPositioner : public ::testing::Test {
protected:
    void SetUp() override {
        package = simtest::open(simtest::packageFolder("positioner"), clock);
        ASSERT_NE(package, nullptr);
        ASSERT_NE(package->positioner(), nullptr);
        send(0);
    }

    simulator::Answer send(std::uint8_t command, const Bytes& request = {}) {
        return package->slave().transact(command, request);
    }

    std::uint8_t setMode(std::uint8_t mode) { return send(135, {mode}).responseCode; }

    void enterSetupMode() { ASSERT_EQ(setMode(0), 0); }

    // Polls command 251 until the procedure is done; answers the busy polls.
    int pollUntilDone() {
        for (int polls = 0; polls < 50; ++polls) {
            const simulator::Answer answer = send(251);
            EXPECT_EQ(answer.responseCode, 0);
            if (answer.data.at(0) == 0) return polls;
        }
        ADD_FAILURE() << "the procedure never finished";
        return -1;
    }

    Bytes faults() {
        const simulator::Answer answer = send(136);
        EXPECT_EQ(answer.responseCode, 0);
        return answer.data;
    }

    // A request made of the given display values, other items as memory holds them.
    Bytes request(std::uint8_t command,
                  const std::map<simulator::ReferenceId, std::string>& values) {
        simulator::DeviceMemory scratch = package->device().memory();
        for (const auto& [id, text] : values)
            EXPECT_TRUE(scratch.setText(id, text)) << id << "=" << text;
        Bytes bytes;
        for (const simulator::RequestItem& item : scratch.description().command(command)->request) {
            const Bytes part =
                scratch.encode(item.id, scratch.description().parameter(item.id)->size);
            bytes.insert(bytes.end(), part.begin(), part.end());
        }
        return bytes;
    }

    simulator::PositionerBehaviour& behaviour() { return *package->positioner(); }
    simulator::DeviceMemory& memory() { return package->device().memory(); }

    simtest::FakeClock clock;
    std::unique_ptr<simulator::SimulatedPackage> package;
};

struct ModeCase {
    std::uint8_t requested;
    std::uint8_t responseCode;
    std::uint8_t active;
};

TEST_F(SimulatorPositioner, ModesChangeThroughCommand135) {
    const ModeCase cases[] = {{0, 0, 0}, {1, 0, 1},
                              {3, 0, 3}, {2, hart::kInvalidSelection, 3},
                              {1, 0, 1}, {9, hart::kInvalidSelection, 1},
                              {3, 0, 3}};
    for (const ModeCase& c : cases) {
        const simulator::Answer answer = send(135, {c.requested});
        EXPECT_EQ(answer.responseCode, c.responseCode) << int(c.requested);
        if (c.responseCode == 0) {
            ASSERT_EQ(answer.data.size(), 3u);
            EXPECT_EQ(answer.data[0], c.requested);
            EXPECT_EQ(answer.data[1], c.active);
            EXPECT_EQ(answer.data[2], 0);  // out-of-service reason: setup
        }
        const simulator::Answer mode = send(249);
        EXPECT_EQ(mode.data.at(0), c.active) << int(c.requested);
    }
}

TEST_F(SimulatorPositioner, ManualSetpointNeedsManualOrSetupMode) {
    const Bytes toPosition = concat({{1}, floatBytes(80.0f), {0}});
    EXPECT_EQ(send(155, toPosition).responseCode, hart::kAccessRestricted);
    EXPECT_EQ(send(179).responseCode, hart::kAccessRestricted);
    ASSERT_EQ(setMode(1), 0);
    EXPECT_EQ(send(155, toPosition).responseCode, 0);
    EXPECT_EQ(memory().number(1023235601), 80);
    // With the signal as source the setpoint is a current of 3.8 to 20.5 mA.
    EXPECT_EQ(send(155, concat({{0}, floatBytes(2.0f), {0}})).responseCode,
              hart::kParameterTooSmall);
    EXPECT_EQ(send(155, concat({{0}, floatBytes(21.0f), {0}})).responseCode,
              hart::kParameterTooLarge);
    EXPECT_EQ(send(155, concat({{0}, floatBytes(12.0f), {0}})).responseCode, 0);
    EXPECT_EQ(send(155, concat({{4}, floatBytes(50.0f), {0}})).responseCode,
              hart::kInvalidSelection);
}

TEST_F(SimulatorPositioner, ProceduresNeedSetupModeAndRunOneAtATime) {
    EXPECT_EQ(send(180).responseCode, hart::kAccessRestricted);
    EXPECT_EQ(send(190, request(190, {})).responseCode, hart::kAccessRestricted);
    enterSetupMode();
    memory().setNumber(326335648, 128);  // marginal power forbids finding the stops
    EXPECT_EQ(send(180).responseCode, hart::kAccessRestricted);
    memory().setNumber(326335648, 0);
    ASSERT_EQ(send(180).responseCode, 0);
    EXPECT_EQ(behaviour().runningProcedure(), Procedure::FindStops);
    EXPECT_EQ(send(189, request(189, {})).responseCode, hart::kBusy);
    EXPECT_EQ(send(180).responseCode, hart::kBusy);
    EXPECT_EQ(setMode(3), hart::kBusy);
    EXPECT_EQ(pollUntilDone(), 3);
    EXPECT_EQ(behaviour().runningProcedure(), Procedure::None);
    EXPECT_EQ(send(180).responseCode, 0);
}

TEST_F(SimulatorPositioner, FindStopsIsBusyThenWritesTheStops) {
    enterSetupMode();
    memory().setNumber(kLowerStopRaw, 1);
    ASSERT_EQ(send(180).responseCode, 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(send(251).data.at(0), 1) << "poll " << i;
    EXPECT_EQ(memory().number(kLowerStopRaw), 1);  // nothing is measured before the run ends
    EXPECT_EQ(send(251).data.at(0), 0);
    EXPECT_EQ(send(251).data.at(0), 0);
    EXPECT_EQ(faults().at(kFaultFindStops), 0);
    const simulator::Answer raw = send(141);
    EXPECT_EQ(simtest::beUnsigned(raw.data, 8, 2), 4100u);
    EXPECT_EQ(simtest::beUnsigned(raw.data, 10, 2), 61900u);
}

TEST_F(SimulatorPositioner, FailedFindStopsRaisesCurrentAndHistoricFault) {
    behaviour().setFindStopsFails(true);
    enterSetupMode();
    ASSERT_EQ(send(180).responseCode, 0);
    pollUntilDone();
    const Bytes flags = faults();
    EXPECT_EQ(flags.at(kFaultFindStops), 1);
    EXPECT_EQ(flags.at(kHistoricFindStops), 1);
    const simulator::Answer status = send(200);
    EXPECT_EQ(status.data.at(4), 1);  // status summary
    EXPECT_NE(status.deviceStatus & hart::kMoreStatusAvailable, 0);
}

TEST_F(SimulatorPositioner, AutoTuningWritesTuningResults) {
    enterSetupMode();
    memory().setNumber(kGain, 1);
    ASSERT_EQ(send(189, concat({floatBytes(30.0f), {0}})).responseCode, 0);
    EXPECT_EQ(pollUntilDone(), 3);
    const Bytes flags = faults();
    EXPECT_EQ(flags.at(kFaultAutoTune), 0);
    EXPECT_EQ(flags.at(kAutoTuneErrorCode), 0);
    const simulator::Answer tuning = send(216);
    ASSERT_EQ(tuning.data.size(), 25u);
    EXPECT_EQ(simtest::beUnsigned(tuning.data, 0, 2), 75u);     // gain: 60 + 0.5 x 30 psi
    EXPECT_EQ(simtest::beUnsigned(tuning.data, 17, 2), 1050u);  // fill time: 700 x 45 / 30
}

TEST_F(SimulatorPositioner, AutoTuningFailureReportsItsErrorCode) {
    behaviour().setAutoTuneError(45);
    enterSetupMode();
    memory().setNumber(kGain, 1);
    ASSERT_EQ(send(189, concat({floatBytes(30.0f), {0}})).responseCode, 0);
    pollUntilDone();
    const Bytes flags = faults();
    EXPECT_EQ(flags.at(kFaultAutoTune), 1);
    EXPECT_EQ(flags.at(kAutoTuneErrorCode), 45);
    EXPECT_EQ(memory().number(kGain), 1);
}

TEST_F(SimulatorPositioner, AutoTuningSupplyIsCheckedAgainstItsOwnLimitsOnly) {
    enterSetupMode();
    // Supply limits that only the DTM keeps do not refuse a supply in bar.
    ASSERT_EQ(send(165, request(165, {{918008295, "7"}})).responseCode, 0);
    EXPECT_EQ(send(189, concat({floatBytes(2.0f), {0}})).responseCode, 0);
    EXPECT_EQ(send(253).responseCode, 0);
    EXPECT_EQ(send(189, concat({floatBytes(2.0f), {10}})).responseCode, hart::kParameterTooLarge);
}

TEST_F(SimulatorPositioner, DiagnosticsMeasuresASignatureThatCanBeSaved) {
    enterSetupMode();
    const Bytes diagnostics = request(190, {{91960530, "10"},
                                            {355593108, "0"},
                                            {1471241131, "1.0"},
                                            {975363836, "0.0"},
                                            {1650953595, "100.0"},
                                            {1316907256, "1"}});
    ASSERT_EQ(send(190, diagnostics).responseCode, 0);
    pollUntilDone();
    EXPECT_EQ(faults().at(kFaultDiagnostics), 0);
    const simulator::Answer first = send(191, {0});
    ASSERT_EQ(first.data.size(), 26u);
    EXPECT_LT(first.data[1], first.data[9]);    // the opening curve rises with the travel
    ASSERT_EQ(send(184, {2}).responseCode, 0);  // keep it as baseline
    EXPECT_EQ(send(184, {3}).responseCode, hart::kInvalidSelection);

    ASSERT_EQ(send(190, diagnostics).responseCode, 0);
    pollUntilDone();
    const simulator::Answer current = send(191, {0});
    const simulator::Answer baseline = send(191, {2});
    EXPECT_EQ(baseline.data[0], 2);
    EXPECT_EQ(Bytes(baseline.data.begin() + 1, baseline.data.end()),
              Bytes(first.data.begin() + 1, first.data.end()));
    EXPECT_GT(simtest::beFloat(current.data, 14),
              simtest::beFloat(baseline.data, 14));  // friction grew
    EXPECT_EQ(send(192, {2}).data.size(), 22u);
}

TEST_F(SimulatorPositioner, DiagnosticsFailureIsReadFromTheFaults) {
    behaviour().setDiagnosticsFails(true);
    enterSetupMode();
    ASSERT_EQ(send(190, request(190, {})).responseCode, 0);
    pollUntilDone();
    EXPECT_EQ(faults().at(kFaultDiagnostics), 1);
}

TEST_F(SimulatorPositioner, AbortEndsTheRunWithoutResults) {
    enterSetupMode();
    memory().setNumber(kLowerStopRaw, 1);
    ASSERT_EQ(send(180).responseCode, 0);
    EXPECT_EQ(send(251).data.at(0), 1);
    ASSERT_EQ(send(253).responseCode, 0);
    EXPECT_EQ(send(251).data.at(0), 0);
    EXPECT_EQ(behaviour().runningProcedure(), Procedure::None);
    EXPECT_EQ(memory().number(kLowerStopRaw), 1);
}

TEST_F(SimulatorPositioner, BusyPollsAreProgrammable) {
    behaviour().setBusyPolls(0);
    enterSetupMode();
    ASSERT_EQ(send(180).responseCode, 0);
    EXPECT_EQ(pollUntilDone(), 0);
    behaviour().setBusyPolls(6);
    ASSERT_EQ(send(180).responseCode, 0);
    EXPECT_EQ(pollUntilDone(), 6);
}

TEST_F(SimulatorPositioner, ResetsOfDeviceFaultsAndHistorian) {
    ASSERT_EQ(send(42).responseCode, 0);
    EXPECT_NE(send(0).deviceStatus & hart::kColdStart, 0);
    EXPECT_EQ(send(0).deviceStatus & hart::kColdStart, 0);
    Bytes flags = faults();
    EXPECT_EQ(flags.at(kFaultDeviceReset), 1);
    EXPECT_EQ(flags.at(kHistoricDeviceReset), 1);

    ASSERT_EQ(send(138, {0}).responseCode, 0);
    flags = faults();
    EXPECT_EQ(flags.at(kFaultDeviceReset), 0);
    EXPECT_EQ(flags.at(kHistoricDeviceReset), 1);
    ASSERT_EQ(send(138, {1}).responseCode, 0);
    EXPECT_EQ(faults().at(kHistoricDeviceReset), 0);

    EXPECT_NE(simtest::beUnsigned(send(139).data, 12, 4), 0u);
    const simulator::Answer reset = send(140);
    ASSERT_EQ(reset.data.size(), 20u);
    EXPECT_EQ(reset.data, Bytes(20, 0));
}

TEST_F(SimulatorPositioner, CalibrationResetRestoresTheFactoryStops) {
    memory().setNumber(kLowerStopRaw, 1);
    ASSERT_EQ(send(183).responseCode, 0);
    const simulator::ParameterInfo* info = memory().description().parameter(kLowerStopRaw);
    ASSERT_TRUE(info->defaultText);
    EXPECT_EQ(memory().text(kLowerStopRaw), *info->defaultText);
}

TEST_F(SimulatorPositioner, FactoryDefaultValuesOfTheWorkflowsAreAccepted) {
    const std::map<simulator::ReferenceId, std::string> first = {
        {1340640597, "1"}, {1581337199, "1"},   {1677517120, "0"},  {261012777, "0"},
        {1950661746, "0"}, {840707063, "0"},    {1259066829, "0"},  {212097963, "0"},
        {1483807622, "0"}, {1750769078, "0.5"}, {322892486, "0"},   {972721312, "100"},
        {1058904971, "0"}, {918008295, "6"},    {1718309488, "0"},  {2012553137, "0.5"},
        {1587511539, "0"}, {297655519, "0"},    {1093331316, "21"}, {879519424, "0"},
        {1627375400, "2"}};
    const std::map<simulator::ReferenceId, std::string> second = {
        {1054464796, "100"}, {1995720731, "160"}, {1958052756, "20"},
        {31476398, "30"},    {97070578, "-2"},    {2062011447, "0"},
        {591879724, "13"},   {1389550902, "0"},   {1770670352, "4"}};
    EXPECT_EQ(send(165, request(165, first)).responseCode, 0);
    EXPECT_EQ(send(175, request(175, first)).responseCode, 0);
    EXPECT_EQ(send(181, request(181, {{539950661, "4"}, {1000059263, "20"}})).responseCode, 0);
    EXPECT_EQ(send(167, request(167, {{1389020516, "100"}})).responseCode, 0);
    EXPECT_EQ(send(173, request(173, second)).responseCode, 0);
    EXPECT_EQ(send(216).data.at(8), 0xFE);  // p adjustment -2
}

}  // namespace
