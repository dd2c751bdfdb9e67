// The simulated HART 7 pressure transmitter of the universal package, on the
// wire: its identity layout, tag lookup, unit conversion, write protection
// and configuration change counter.

#include <gtest/gtest.h>

#include "simulator/hart_codes.h"
#include "simulator/pressure_behaviour.h"
#include "tests/simulator/simulator_test_support.h"

namespace {

using simtest::Bytes;

class PressureTransmitter : public ::testing::Test {
protected:
    void SetUp() override {
        package = simtest::open(simtest::packageFolder("universal"), clock);
        ASSERT_NE(package, nullptr);
        behaviour = dynamic_cast<simulator::PressureBehaviour*>(&package->device().behaviour());
        ASSERT_NE(behaviour, nullptr);
    }
    simulator::Answer send(std::uint8_t command, const Bytes& request = {}) {
        return package->slave().transact(command, request);
    }
    std::uint64_t counter() { return simtest::beUnsigned(send(0).data, 14, 2); }

    simtest::FakeClock clock;
    std::unique_ptr<simulator::SimulatedPackage> package;
    simulator::PressureBehaviour* behaviour = nullptr;
};

TEST_F(PressureTransmitter, IdentifiesAsHart7WithExpandedTypeAndWideManufacturer) {
    const simulator::Answer answer = send(0);
    ASSERT_EQ(answer.responseCode, 0);
    ASSERT_EQ(answer.data.size(), 22u);
    EXPECT_EQ(answer.data[0], 254);
    EXPECT_EQ(simtest::beUnsigned(answer.data, 1, 2), 0xE17Au);
    EXPECT_EQ(answer.data[4], 7);
    EXPECT_EQ(simtest::beUnsigned(answer.data, 17, 2), 0x60F3u);
    EXPECT_EQ(answer.data[21], 1) << "process automation device";
}

TEST_F(PressureTransmitter, AnswersCommand11OnlyForItsOwnTag) {
    const simulator::Answer read = send(13);
    const Bytes tag(read.data.begin(), read.data.begin() + 6);
    EXPECT_EQ(simtest::unpacked(tag, 0, 6), "PT-4711");
    const simulator::Answer own = send(11, tag);
    EXPECT_EQ(own.kind, simulator::AnswerKind::Reply);
    EXPECT_EQ(own.data, send(0).data);
    Bytes other = tag;
    other[0] ^= 0x04;
    EXPECT_EQ(send(11, other).kind, simulator::AnswerKind::NoAnswer);
    EXPECT_EQ(simtest::unpacked(send(13).data, 0, 6), "PT-4711") << "the lookup wrote nothing";
}

TEST_F(PressureTransmitter, UnitChangeConvertsRangeAndMovingPressure) {
    ASSERT_EQ(send(44, {6}).responseCode, 0);  // psi
    const simulator::Answer info = send(15);
    EXPECT_EQ(info.data[2], 6);
    EXPECT_NEAR(simtest::beFloat(info.data, 3), 16.0 * 14.5038, 0.01);
    clock.now += 20000;
    const simulator::Answer pv = send(1);
    EXPECT_EQ(pv.data[0], 6);
    EXPECT_NEAR(simtest::beFloat(pv.data, 1), 6.2 * 14.5038, 0.05 * 232.06 + 0.01);
    EXPECT_EQ(send(44, {32}).responseCode, 12) << "degC is no pressure unit";
    const Bytes range = simtest::concat({{32}, simtest::floatBytes(100), simtest::floatBytes(0)});
    EXPECT_EQ(send(35, range).responseCode, 28);
}

TEST_F(PressureTransmitter, WriteProtectionRefusesWritesAndChangesCountOnce) {
    const std::uint64_t before = counter();
    const simulator::Answer identification = send(13);
    Bytes request = identification.data;
    request[0] ^= 0x04;
    ASSERT_EQ(send(18, request).responseCode, 0);
    EXPECT_EQ(counter(), before + 1);
    ASSERT_EQ(send(18, request).responseCode, 0);
    EXPECT_EQ(counter(), before + 1) << "writing the same values changes nothing";
    behaviour->setWriteProtected(package->device().memory(), true);
    request[0] ^= 0x04;
    EXPECT_EQ(send(18, request).responseCode, simulator::hart::kWriteProtected);
    EXPECT_EQ(send(6, {0, 1}).responseCode, simulator::hart::kWriteProtected);
    EXPECT_EQ(send(1).responseCode, 0) << "reading stays possible";
    EXPECT_EQ(counter(), before + 1);
}

TEST_F(PressureTransmitter, DisabledLoopCurrentStaysAt4mAAndSaysSo) {
    const simulator::Answer answer = send(6, {3, 0});
    ASSERT_EQ(answer.responseCode, 0);
    EXPECT_EQ(answer.data, (Bytes{3, 0}));
    EXPECT_EQ(package->device().pollingAddress(), 3);
    const simulator::Answer current = send(2);
    EXPECT_FLOAT_EQ(simtest::beFloat(current.data, 0), 4.0f);
    EXPECT_EQ(current.deviceStatus & simulator::hart::kLoopCurrentFixed,
              simulator::hart::kLoopCurrentFixed);
}

}  // namespace
