// Measured values of the positioner over time, on the test's fake clock.
#include <gtest/gtest.h>

#include <cmath>

#include "simulator/hart_codes.h"
#include "simulator/positioner_behaviour.h"
#include "simulator_test_support.h"

namespace {

using simtest::Bytes;
using simtest::concat;
using simtest::floatBytes;

constexpr simulator::ReferenceId kPosition = 196666074;
constexpr simulator::ReferenceId kTimeClosed = 2145316696;
constexpr simulator::ReferenceId kTotalTravel = 1857816441;

class SimulatorPositionerMotion : public ::testing::Test {
protected:
    void SetUp() override {
        package = simtest::open(simtest::packageFolder("positioner"), clock);
        ASSERT_NE(package, nullptr);
        start = clock.now;
    }

    simulator::Answer send(std::uint8_t command, const Bytes& request = {}) {
        return package->slave().transact(command, request);
    }

    void at(double seconds) { clock.now = start + static_cast<std::int64_t>(seconds * 1000.0); }

    // Command 3: signal, position, actuator pressures, supply.
    std::array<float, 5> dynamicVariables() {
        const simulator::Answer answer = send(3);
        EXPECT_EQ(answer.data.size(), 24u);
        std::array<float, 5> values{};
        for (std::size_t k = 0; k < 5; ++k) values[k] = simtest::beFloat(answer.data, 5 * k);
        return values;
    }

    void manual(float percent) {
        ASSERT_EQ(send(135, {1}).responseCode, 0);
        ASSERT_EQ(send(155, concat({{1}, floatBytes(percent), {0}})).responseCode, 0);
    }

    simulator::DeviceMemory& memory() { return package->device().memory(); }

    simtest::FakeClock clock;
    std::int64_t start = 0;
    std::unique_ptr<simulator::SimulatedPackage> package;
};

TEST_F(SimulatorPositionerMotion, NothingMovesWhileTheClockStands) {
    const auto first = dynamicVariables();
    const auto again = dynamicVariables();
    EXPECT_EQ(first, again);
    const Bytes sensors = send(201).data;
    EXPECT_EQ(send(201).data, sensors);
}

TEST_F(SimulatorPositionerMotion, ValuesMoveWithTheClock) {
    const auto before = dynamicVariables();
    const Bytes sensorsBefore = send(201).data;
    at(30);
    const auto after = dynamicVariables();
    for (std::size_t k = 0; k < 5; ++k) EXPECT_NE(before[k], after[k]) << "dynamic variable " << k;
    const Bytes sensorsAfter = send(201).data;
    EXPECT_NE(simtest::beFloat(sensorsBefore, 12),
              simtest::beFloat(sensorsAfter, 12));  // pilot pressure
    EXPECT_NE(simtest::beSigned(sensorsBefore, 16, 2),
              simtest::beSigned(sensorsAfter, 16, 2));  // board temperature
}

TEST_F(SimulatorPositionerMotion, InNormalModeThePositionFollowsTheSignal) {
    at(30);  // a quarter of the signal's two-minute swing: 12 + 4 mA
    const auto values = dynamicVariables();
    EXPECT_NEAR(values[0], 16.0f, 1e-4);
    EXPECT_NEAR(values[1], 75.0f, 0.01);  // 4 to 20 mA over 0 to 100 %, linear
    at(90);
    EXPECT_NEAR(dynamicVariables()[1], 25.0f, 0.01);
}

TEST_F(SimulatorPositionerMotion, InManualModeThePositionFollowsTheSetpointWithALag) {
    manual(80.0f);
    at(1.5);  // one time constant
    const float partway = dynamicVariables()[1];
    EXPECT_GT(partway, 50.2f);
    EXPECT_LT(partway, 80.0f);
    at(20);
    EXPECT_NEAR(dynamicVariables()[1], 80.0f, 0.01);
    const simulator::Answer setpoint = send(154);
    EXPECT_EQ(simtest::beFloat(setpoint.data, 0), 80.0f);
}

TEST_F(SimulatorPositionerMotion, ManualStopsDriveTheValveFullyOpenOrClosed) {
    ASSERT_EQ(send(135, {1}).responseCode, 0);
    ASSERT_EQ(send(155, concat({{3}, floatBytes(100.0f), {1}})).responseCode, 0);
    at(20);
    EXPECT_NEAR(dynamicVariables()[1], 100.0f, 0.01);
    ASSERT_EQ(send(155, concat({{2}, floatBytes(0.0f), {0}})).responseCode, 0);
    at(40);
    EXPECT_NEAR(dynamicVariables()[1], 0.0f, 0.01);
    // Releasing the stop holds the valve where it is.
    ASSERT_EQ(send(179).responseCode, 0);
    EXPECT_EQ(memory().integer(2093141900), 1);
    at(60);
    EXPECT_NEAR(dynamicVariables()[1], 0.0f, 0.01);
}

TEST_F(SimulatorPositionerMotion, PressuresFollowTheUnitOfPressure) {
    at(10);
    const float psi = dynamicVariables()[4];
    simulator::DeviceMemory scratch = memory();
    scratch.setNumber(918008295, 7);
    Bytes request;
    for (const simulator::RequestItem& item : scratch.description().command(165)->request) {
        const Bytes part = scratch.encode(item.id, 1);
        request.insert(request.end(), part.begin(), part.end());
    }
    ASSERT_EQ(send(165, request).responseCode, 0);
    const float bar = dynamicVariables()[4];
    EXPECT_NEAR(bar, psi / 14.5037738f, 0.001f);
}

TEST_F(SimulatorPositionerMotion, HistorianCountsTimeClosedAndTravel) {
    const double closed = memory().number(kTimeClosed);
    const double travel = memory().number(kTotalTravel);
    manual(0.0f);
    at(20);
    send(139);
    EXPECT_EQ(memory().number(kTimeClosed), closed + 20);
    manual(100.0f);
    at(40);
    send(139);
    manual(0.0f);
    at(60);
    const simulator::Answer historian = send(139);
    EXPECT_EQ(simtest::beUnsigned(historian.data, 0, 4), closed + 40);
    EXPECT_EQ(simtest::beUnsigned(historian.data, 16, 4),
              travel + 2);  // 50 % + 100 % + 100 % of travel
}

TEST_F(SimulatorPositionerMotion, TemperaturesSwingAndTheExtremesFollow) {
    const simulator::Answer before = send(201);
    const std::int64_t board = simtest::beSigned(before.data, 16, 2);
    const std::int64_t highest = simtest::beSigned(before.data, 20, 2);
    at(150);  // a quarter of the ten-minute swing: 3.0 degC warmer
    const simulator::Answer warm = send(201);
    EXPECT_EQ(simtest::beSigned(warm.data, 16, 2), board + 30);
    EXPECT_EQ(simtest::beSigned(warm.data, 20, 2), std::max(highest, board + 30));
    at(450);
    const simulator::Answer cool = send(201);
    EXPECT_EQ(simtest::beSigned(cool.data, 16, 2), board - 30);
    EXPECT_LE(simtest::beSigned(cool.data, 18, 2), board - 30);
}

TEST_F(SimulatorPositionerMotion, RawCountsFollowThePosition) {
    manual(100.0f);
    at(30);
    const simulator::Answer raw = send(141);
    EXPECT_EQ(simtest::beUnsigned(raw.data, 2, 2),
              simtest::beUnsigned(raw.data, 10, 2));  // position at the upper stop
}

TEST_F(SimulatorPositionerMotion, LimitSwitchesFollowTheirTripPoints) {
    // Switch 1 active below 20 %, normally open; switch 2 active above 80 %, normally closed.
    const Bytes config = concat({{1, 0}, floatBytes(20.0f), {2, 1}, floatBytes(80.0f)});
    ASSERT_EQ(send(134, config).responseCode, 0);
    manual(10.0f);
    at(20);
    Bytes states = send(142).data;
    EXPECT_EQ(states, (Bytes{1, 1}));
    manual(90.0f);
    at(40);
    states = send(142).data;
    EXPECT_EQ(states, (Bytes{0, 0}));
}

}  // namespace

namespace {

TEST_F(SimulatorPositionerMotion, AHeldInputSignalStaysForCalibration) {
    package->positioner()->setInputSignal(4.0);
    EXPECT_EQ(dynamicVariables()[0], 4.0f);
    at(30);
    EXPECT_EQ(dynamicVariables()[0], 4.0f);
    EXPECT_EQ(simtest::beUnsigned(send(141).data, 0, 2),
              4000u);  // the raw count the calibration checks
    package->positioner()->setInputSignal(std::nullopt);
    at(60);
    EXPECT_NEAR(dynamicVariables()[0], 12.0f, 1e-4);  // back on its swing: half a period
}

}  // namespace
