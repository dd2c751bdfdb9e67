// The level transmitter and controller: measured values over time and its
// calibration and diagnostic commands.
#include <gtest/gtest.h>

#include "simulator/hart_codes.h"
#include "simulator/level_behaviour.h"
#include "simulator_test_support.h"

namespace {

using simtest::Bytes;
using simtest::floatBytes;
namespace hart = simulator::hart;

constexpr simulator::ReferenceId kUpperRange = 177080380;
constexpr simulator::ReferenceId kLowerRange = 1304192516;

class SimulatorLevel : public ::testing::Test {
protected:
    void SetUp() override {
        package = simtest::open(simtest::packageFolder("level"), clock);
        ASSERT_NE(package, nullptr);
        ASSERT_NE(package->level(), nullptr);
        start = clock.now;
        send(0);
    }

    simulator::Answer send(std::uint8_t command, const Bytes& request = {}) {
        return package->slave().transact(command, request);
    }

    void at(double seconds) { clock.now = start + static_cast<std::int64_t>(seconds * 1000.0); }

    float level() { return simtest::beFloat(send(1).data, 1); }
    float current() { return simtest::beFloat(send(2).data, 0); }
    float percent() { return simtest::beFloat(send(2).data, 4); }

    simulator::DeviceMemory& memory() { return package->device().memory(); }

    simtest::FakeClock clock;
    std::int64_t start = 0;
    std::unique_ptr<simulator::SimulatedPackage> package;
};

TEST_F(SimulatorLevel, LevelMovesAndCurrentFollowsThePercentOfRange) {
    const float before = level();
    at(45);  // a quarter of the three-minute swing: 8 % of the span higher
    const float span =
        static_cast<float>(memory().number(kUpperRange) - memory().number(kLowerRange));
    EXPECT_NEAR(level(), before + 0.08f * span, 1e-3);
    const float pct = percent();
    EXPECT_NEAR(current(), 4.0f + 16.0f * pct / 100.0f, 1e-4);
    at(135);
    EXPECT_NEAR(level(), before - 0.08f * span, 1e-3);
}

TEST_F(SimulatorLevel, FixedCurrentHoldsTheLoopUntilReleased) {
    simulator::Answer answer = send(40, floatBytes(12.5f));
    ASSERT_EQ(answer.responseCode, 0);
    at(30);
    EXPECT_EQ(current(), 12.5f);
    EXPECT_NE(send(0).deviceStatus & hart::kLoopCurrentFixed, 0);
    ASSERT_EQ(send(40, floatBytes(0.0f)).responseCode, 0);
    EXPECT_EQ(send(0).deviceStatus & hart::kLoopCurrentFixed, 0);
    EXPECT_NEAR(current(), 4.0f + 16.0f * percent() / 100.0f, 1e-4);
    EXPECT_EQ(send(40, floatBytes(23.0f)).responseCode, hart::kParameterTooLarge);
}

TEST_F(SimulatorLevel, RangeValuesTakeThePresentLevel) {
    at(45);
    const float present = level();
    ASSERT_EQ(send(36).responseCode, 0);
    EXPECT_EQ(static_cast<float>(memory().number(kUpperRange)), present);
    EXPECT_NEAR(percent(), 100.0f, 1e-3);
    // The lower range value cannot reach the upper one.
    EXPECT_EQ(send(37).responseCode, 9);
    ASSERT_EQ(send(35, simtest::concat({{57}, floatBytes(100.0f), floatBytes(0.0f)})).responseCode,
              0);
    at(135);
    ASSERT_EQ(send(37).responseCode, 0);
    EXPECT_NEAR(percent(), 0.0f, 1e-3);
}

TEST_F(SimulatorLevel, ControllerDrivesItsOutputInNormalModeAndHoldsItInManual) {
    const simulator::Answer setpoint = send(191, floatBytes(20.0f));
    ASSERT_EQ(setpoint.responseCode, 0);
    EXPECT_EQ(simtest::beFloat(setpoint.data, 4), 20.0f);  // the controller's setpoint follows
    at(60);
    // Direct acting: the output rises by the gain times the level's deviation above the setpoint.
    const float deviation = percent() - 20.0f;
    ASSERT_GT(deviation, 10.0f);
    const float gain = static_cast<float>(memory().number(658252150));
    EXPECT_NEAR(simtest::beFloat(send(3).data, 10), std::min(100.0f, 50.0f + gain * deviation),
                0.01f);
    ASSERT_EQ(send(161, {1}).responseCode, 0);
    EXPECT_EQ(send(160).data.at(0), 1);
    at(120);
    EXPECT_NEAR(simtest::beFloat(send(3).data, 10), static_cast<float>(memory().number(1526220577)),
                0.1f);
}

TEST_F(SimulatorLevel, ClearingFaultsRemovesMoreStatusAvailable) {
    EXPECT_NE(send(0).deviceStatus & hart::kMoreStatusAvailable, 0);  // the profile's latched alert
    const simulator::Answer cleared = send(149);
    ASSERT_EQ(cleared.responseCode, 0);
    EXPECT_EQ(simtest::beUnsigned(cleared.data, 0, 2), 0u);
    EXPECT_EQ(send(0).deviceStatus & hart::kMoreStatusAvailable, 0);
}

TEST_F(SimulatorLevel, ContinuousDiagnosticDataTrackAndReset) {
    at(225);  // a quarter of the temperature's fifteen-minute swing
    const simulator::Answer data = send(150);
    const float temperature = simtest::beFloat(data.data, 0);
    EXPECT_GE(simtest::beFloat(data.data, 4), temperature);
    EXPECT_LE(simtest::beFloat(data.data, 8), temperature);
    const simulator::Answer reset = send(151);
    EXPECT_EQ(simtest::beFloat(reset.data, 4), temperature);
    EXPECT_EQ(simtest::beFloat(reset.data, 8), temperature);
    at(7200);
    EXPECT_EQ(simtest::beUnsigned(send(150).data, 12, 4), 18342u + 2u);  // operating hours
}

TEST_F(SimulatorLevel, SensorTestAndFilterAutotuneReportTheirResults) {
    EXPECT_EQ(send(173).data.at(0), 0);
    package->level()->setSensorTestFails(true);
    EXPECT_EQ(send(173).data.at(0), 1);
    const simulator::Answer tuned = send(174);
    ASSERT_EQ(tuned.data.size(), 13u);
    EXPECT_EQ(tuned.data[0], 0);
    EXPECT_FLOAT_EQ(simtest::beFloat(tuned.data, 1), 2.1f);
    package->level()->setFilterAutotuneFails(true);
    EXPECT_EQ(send(174).data.at(0), 1);
}

TEST_F(SimulatorLevel, SpecificGravityMeterCalibrates) {
    const simulator::Answer span = send(246, floatBytes(1.25f));
    ASSERT_EQ(span.responseCode, 0);
    EXPECT_NEAR(simtest::beFloat(span.data, 0), 1.25f, 1e-5);
    at(11.25);  // the drift is at its top
    EXPECT_NEAR(simtest::beFloat(send(152).data, 0), 1.252f, 1e-5);
    ASSERT_EQ(send(245).responseCode, 0);
    EXPECT_NEAR(simtest::beFloat(send(152).data, 0), 1.25f, 1e-5);
    const simulator::Answer factory = send(247);
    EXPECT_NEAR(simtest::beFloat(factory.data, 0), 0.998f + 0.002f, 1e-5);
}

}  // namespace
