#include "simulator/description_device.h"

#include <gtest/gtest.h>

#include "simulator/hart_codes.h"
#include "simulator_test_support.h"

namespace {

using simtest::Bytes;
using simtest::concat;
using simtest::floatBytes;

class SimulatorGenericDevice : public ::testing::Test {
protected:
    void SetUp() override { reopen({}); }

    void reopen(simulator::DeviceOptions deviceOptions) {
        simulator::PackageOptions options;
        options.clock = clock.clock();
        options.device = deviceOptions;
        simulator::PackageLoad load = simulator::openDescription(
            simtest::dataFile("mini.zor"), simtest::dataFile("mini-profile.xml"), options);
        ASSERT_TRUE(load) << load.error;
        ASSERT_TRUE(load.warnings.empty());
        package = std::move(load.package);
        ASSERT_EQ(package->positioner(), nullptr);
        ASSERT_EQ(package->level(), nullptr);
        send(0);  // takes the cold-start answer
    }

    simulator::Answer send(std::uint8_t command, const Bytes& request = {}) {
        return package->slave().transact(command, request);
    }

    simulator::DeviceMemory& memory() { return package->device().memory(); }

    simtest::FakeClock clock;
    std::unique_ptr<simulator::SimulatedPackage> package;
};

TEST_F(SimulatorGenericDevice, FirstAnswerCarriesColdStartOnly) {
    package.reset();
    simulator::PackageLoad load = simulator::openDescription(
        simtest::dataFile("mini.zor"), {}, simulator::PackageOptions{clock.clock(), 3, {}});
    ASSERT_TRUE(load) << load.error;
    EXPECT_EQ(load.package->slave().transact(0, {}).deviceStatus, simulator::hart::kColdStart);
    EXPECT_EQ(load.package->slave().transact(0, {}).deviceStatus, 0);
}

TEST_F(SimulatorGenericDevice, UnknownCommandAnswersNotImplementedWithoutData) {
    const simulator::Answer answer = send(99, {1, 2, 3});
    EXPECT_EQ(answer.kind, simulator::AnswerKind::Reply);
    EXPECT_EQ(answer.responseCode, simulator::hart::kCommandNotImplemented);
    EXPECT_TRUE(answer.data.empty());
}

TEST_F(SimulatorGenericDevice, IdentityReplyIsLaidOutByItsItems) {
    const simulator::Answer answer = send(0);
    ASSERT_EQ(answer.responseCode, 0);
    ASSERT_EQ(answer.data.size(), 12u);
    EXPECT_EQ(answer.data[0], 254);
    EXPECT_EQ(answer.data[1], 250);
    EXPECT_EQ(answer.data[2], 7);
    EXPECT_EQ(answer.data[3], 0);  // no item covers bytes 3 to 6 and 8
    EXPECT_EQ(answer.data[7], (2 << 3) | 1);
    EXPECT_EQ(simtest::beUnsigned(answer.data, 9, 3), 0x123456u);
}

TEST_F(SimulatorGenericDevice, WrittenMessageIsReadBack) {
    const std::string text = "CALIBRATED 2024 BY JS";
    const Bytes request = simulator::packAscii(text, 24);
    const simulator::Answer written = send(17, request);
    ASSERT_EQ(written.responseCode, 0);
    EXPECT_EQ(written.data, request);
    const simulator::Answer read = send(12);
    ASSERT_EQ(read.responseCode, 0);
    EXPECT_EQ(simtest::unpacked(read.data, 0, 24), text);
}

TEST_F(SimulatorGenericDevice, TagDescriptorAndDateAreWrittenTogether) {
    const Bytes request = concat(
        {simulator::packAscii("TT-100", 6), simulator::packAscii("DRUM LEVEL", 12), {24, 12, 99}});
    ASSERT_EQ(send(18, request).responseCode, 0);
    const simulator::Answer read = send(13);
    EXPECT_EQ(simtest::unpacked(read.data, 0, 6), "TT-100");
    EXPECT_EQ(simtest::unpacked(read.data, 6, 12), "DRUM LEVEL");
    EXPECT_EQ(memory().text(111), "1999-12-24");
}

TEST_F(SimulatorGenericDevice, TooFewRequestBytesAnswerCode5AndKeepNothing) {
    const Bytes full = concat({floatBytes(50.0f), {1}, {0x00, 0x05}});
    const simulator::Answer answer = send(130, Bytes(full.begin(), full.end() - 1));
    EXPECT_EQ(answer.responseCode, simulator::hart::kTooFewDataBytes);
    EXPECT_TRUE(answer.data.empty());
    EXPECT_EQ(memory().number(200), 12.5);
    EXPECT_EQ(send(18, {}).responseCode, simulator::hart::kTooFewDataBytes);
}

TEST_F(SimulatorGenericDevice, ExtraRequestBytesAreIgnored) {
    const Bytes request = concat({floatBytes(50.0f), {1}, {0x00, 0x05}, {0xAA, 0xBB}});
    EXPECT_EQ(send(130, request).responseCode, 0);
    EXPECT_EQ(memory().number(202), 5);
}

struct WriteCase {
    const char* name;
    float setpoint;
    std::uint8_t selection;
    std::int16_t offset;
    std::uint8_t responseCode;
};

class SimulatorWriteChecks : public SimulatorGenericDevice,
                             public ::testing::WithParamInterface<WriteCase> {};

TEST_P(SimulatorWriteChecks, RefusedWritesKeepNothing) {
    const WriteCase& c = GetParam();
    const auto offset = static_cast<std::uint16_t>(c.offset);
    const Bytes request =
        concat({floatBytes(c.setpoint),
                {c.selection},
                {static_cast<std::uint8_t>(offset >> 8), static_cast<std::uint8_t>(offset)}});
    const simulator::Answer answer = send(130, request);
    EXPECT_EQ(answer.responseCode, c.responseCode);
    if (c.responseCode == 0) {
        ASSERT_EQ(answer.data.size(), 11u);
        EXPECT_EQ(simtest::beFloat(answer.data, 0), c.setpoint);
        EXPECT_EQ(answer.data[4], c.selection);
        EXPECT_EQ(simtest::beSigned(answer.data, 5, 2), c.offset);
        EXPECT_EQ(simtest::beFloat(answer.data, 7), 1.5f);
    } else {
        EXPECT_TRUE(answer.data.empty());
        EXPECT_EQ(memory().number(200), 12.5);
        EXPECT_EQ(memory().number(201), 0);
        EXPECT_EQ(memory().number(202), -2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SimulatorWriteChecks,
    ::testing::Values(
        WriteCase{"accepted", 50.0f, 1, 5, 0},
        WriteCase{"lower_limit_exactly_as_single", 0.1f, 0, 0, 0},
        WriteCase{"below_lower_limit", 0.05f, 0, 0, simulator::hart::kParameterTooSmall},
        WriteCase{"above_pointed_upper_limit", 100.5f, 0, 0, simulator::hart::kParameterTooLarge},
        WriteCase{"not_enumerated", 50.0f, 2, 0, simulator::hart::kInvalidSelection},
        WriteCase{"enumerated_in_hex", 50.0f, 0x10, 0, 0},
        WriteCase{"above_range", 50.0f, 0, 101, simulator::hart::kParameterTooLarge},
        WriteCase{"below_range", 50.0f, 0, -101, simulator::hart::kParameterTooSmall},
        WriteCase{"limit_kept_by_the_dtm_only_is_not_checked", 50.0f, 0, 50, 0}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(SimulatorGenericDevice, WritesPassUncheckedWhenChecksAreOff) {
    reopen(simulator::DeviceOptions{false});
    EXPECT_EQ(send(130, concat({floatBytes(500.0f), {9}, {0x01, 0x00}})).responseCode, 0);
    EXPECT_EQ(memory().number(200), 500);
    EXPECT_EQ(memory().number(202), 256);
}

TEST_F(SimulatorGenericDevice, ConfigurationChangedUntilCommand38) {
    EXPECT_EQ(send(13).deviceStatus & simulator::hart::kConfigurationChanged, 0);
    // Writing the value already held changes nothing.
    EXPECT_EQ(send(6, {5}).deviceStatus & simulator::hart::kConfigurationChanged, 0);
    EXPECT_NE(send(6, {7}).deviceStatus & simulator::hart::kConfigurationChanged, 0);
    EXPECT_NE(send(13).deviceStatus & simulator::hart::kConfigurationChanged, 0);
    EXPECT_EQ(send(38).deviceStatus & simulator::hart::kConfigurationChanged, 0);
    EXPECT_EQ(send(13).deviceStatus & simulator::hart::kConfigurationChanged, 0);
}

TEST_F(SimulatorGenericDevice, PollingAddressIsWhatCommand6Wrote) {
    EXPECT_EQ(package->device().pollingAddress(), 5);
    EXPECT_EQ(send(6, {12}).responseCode, 0);
    EXPECT_EQ(package->device().pollingAddress(), 12);
    EXPECT_EQ(send(6, {64}).responseCode, simulator::hart::kInvalidSelection);
    EXPECT_EQ(package->device().pollingAddress(), 12);
}

TEST_F(SimulatorGenericDevice, CompositesBitmapsBitRangesAndStrings) {
    simulator::Answer read = send(131);
    ASSERT_EQ(read.data.size(), 14u);
    EXPECT_EQ(read.data[0], 1);
    EXPECT_EQ(simtest::beUnsigned(read.data, 1, 2), 515u);
    EXPECT_EQ(simtest::beUnsigned(read.data, 3, 2), 0x8001u);
    EXPECT_EQ(read.data[5], 0);
    EXPECT_EQ(std::string(read.data.begin() + 6, read.data.end()), "pump    ");

    const Bytes request = concat({{200, 0x01, 0x02}, {'v', 'a', 'l', 'v', 'e', ' ', ' ', ' '}});
    const simulator::Answer written = send(132, request);
    ASSERT_EQ(written.responseCode, 0);
    EXPECT_EQ(written.data, request);
    EXPECT_EQ(memory().number(211), 200);
    EXPECT_EQ(memory().number(212), 258);
    EXPECT_EQ(memory().text(230), "valve");

    // A component's own limit refuses the whole composite.
    EXPECT_EQ(send(132, concat({{201, 0, 0}, Bytes(8, ' ')})).responseCode,
              simulator::hart::kParameterTooLarge);
    EXPECT_EQ(memory().number(211), 200);

    memory().setNumber(221, 1);
    read = send(131);
    EXPECT_EQ(simtest::beUnsigned(read.data, 3, 2), 0x8201u);
    EXPECT_EQ(read.data[5], 1);
}

TEST_F(SimulatorGenericDevice, PointerItemsAddressTheDesignatedParameterUnlessPointerValue) {
    simulator::Answer read = send(133);
    ASSERT_EQ(read.data.size(), 5u);
    EXPECT_EQ(simtest::beFloat(read.data, 0), 17.25f);
    EXPECT_EQ(read.data[4], 1);

    ASSERT_EQ(send(134, {2}).responseCode, 0);
    read = send(133);
    EXPECT_EQ(simtest::beFloat(read.data, 0), 7.0f);
    EXPECT_EQ(read.data[4], 2);

    EXPECT_EQ(send(134, {9}).responseCode, simulator::hart::kInvalidSelection);
    EXPECT_EQ(send(133).data[4], 2);
}

TEST_F(SimulatorGenericDevice, PointerRequestItemsWriteTheDesignatedParameter) {
    EXPECT_EQ(package->device().requestSize(*package->device().description().command(135)), 4u);
    EXPECT_EQ(send(135, {1}).responseCode, simulator::hart::kTooFewDataBytes);
    const simulator::Answer answer = send(135, floatBytes(3.5f));
    ASSERT_EQ(answer.responseCode, 0);
    EXPECT_EQ(simtest::beFloat(answer.data, 0), 3.5f);
    EXPECT_EQ(memory().number(241), 3.5);
    EXPECT_EQ(memory().number(242), 7);
}

}  // namespace
