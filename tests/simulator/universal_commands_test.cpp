// Universal commands of both packages, decoded with the test's own decoders
// and compared with the values the package profiles give.
#include <gtest/gtest.h>

#include <map>

#include "simulator/hart_codes.h"
#include "simulator/simulator_profile.h"
#include "simulator_test_support.h"

namespace {

struct PackageCase {
    const char* folder;
    int manufacturer;
    int deviceType;
    // Command 3: the parameter of each float, at byte positions 0, 5, 10, 15, 20.
    std::array<simulator::ReferenceId, 5> dynamicVariables;
};

constexpr simulator::ReferenceId kTag = 1122622930;
constexpr simulator::ReferenceId kDescriptor = 1331626720;
constexpr simulator::ReferenceId kDeviceId = 444726575;
constexpr simulator::ReferenceId kDate = 36205890;

class SimulatorUniversalCommands : public ::testing::TestWithParam<PackageCase> {
protected:
    void SetUp() override {
        package = simtest::open(simtest::packageFolder(GetParam().folder), clock);
        ASSERT_NE(package, nullptr);
        const simulator::ProfileLoad load = simulator::loadProfileFile(
            simtest::packageFolder(GetParam().folder) + "/simulator-profile.xml");
        ASSERT_TRUE(load) << load.error;
        for (const simulator::ProfileValue& value : load.profile->values)
            profile[value.id] = value.text;
    }

    simulator::Answer send(std::uint8_t command) { return package->slave().transact(command, {}); }

    double profileNumber(simulator::ReferenceId id) {
        EXPECT_EQ(profile.count(id), 1u) << "the profile lacks " << id;
        return std::stod(profile[id]);
    }

    simtest::FakeClock clock;
    std::unique_ptr<simulator::SimulatedPackage> package;
    std::map<simulator::ReferenceId, std::string> profile;
};

TEST_P(SimulatorUniversalCommands, Command0IdentifiesTheDevice) {
    const simulator::Answer answer = send(0);
    ASSERT_EQ(answer.responseCode, 0);
    ASSERT_GE(answer.data.size(), 12u);
    EXPECT_EQ(answer.data[0], 254);
    EXPECT_EQ(answer.data[1], GetParam().manufacturer);
    EXPECT_EQ(answer.data[2], GetParam().deviceType);
    EXPECT_EQ(answer.data[4], 5);  // universal command revision
    EXPECT_EQ(simtest::beUnsigned(answer.data, 9, 3), profileNumber(kDeviceId));
    EXPECT_EQ(answer.deviceStatus & simulator::hart::kColdStart, simulator::hart::kColdStart);
}

TEST_P(SimulatorUniversalCommands, Command3CarriesTheProfileValuesUntilTimeMoves) {
    const simulator::Answer answer = send(3);
    ASSERT_EQ(answer.responseCode, 0);
    ASSERT_EQ(answer.data.size(), 24u);
    for (std::size_t k = 0; k < 5; ++k) {
        const simulator::ReferenceId id = GetParam().dynamicVariables[k];
        EXPECT_EQ(simtest::beFloat(answer.data, 5 * k), static_cast<float>(profileNumber(id)))
            << id;
    }
}

TEST_P(SimulatorUniversalCommands, Command13CarriesTagDescriptorAndDate) {
    const simulator::Answer answer = send(13);
    ASSERT_EQ(answer.responseCode, 0);
    ASSERT_EQ(answer.data.size(), 21u);
    EXPECT_EQ(simtest::unpacked(answer.data, 0, 6), profile[kTag]);
    EXPECT_EQ(simtest::unpacked(answer.data, 6, 12), profile[kDescriptor]);
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", 1900 + answer.data[20], answer.data[19],
                  answer.data[18]);
    // The profile's date, else the description's default, else the first day a HART date can hold.
    const simulator::ParameterInfo* info = package->device().description().parameter(kDate);
    ASSERT_NE(info, nullptr);
    const std::string expected = profile.count(kDate) ? profile[kDate]
                                 : info->defaultText  ? *info->defaultText
                                                      : std::string("1900-01-01");
    EXPECT_EQ(date, expected);
}

TEST_P(SimulatorUniversalCommands, EveryDeclaredCommandAnswersWithItsReplySize) {
    for (const simulator::CommandInfo& command : package->device().description().commands()) {
        const std::size_t need = package->device().description().requestSize(command);
        const simulator::Answer answer =
            package->slave().transact(command.number, simtest::Bytes(need, 0));
        if (answer.responseCode == 0) {
            EXPECT_EQ(answer.data.size(), command.replySize) << "command " << int(command.number);
        } else {
            EXPECT_TRUE(answer.data.empty()) << "command " << int(command.number);
        }
        EXPECT_NE(answer.responseCode, simulator::hart::kCommandNotImplemented);
        EXPECT_NE(answer.responseCode, simulator::hart::kTooFewDataBytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Packages, SimulatorUniversalCommands,
    ::testing::Values(
        PackageCase{"positioner", 171, 33, {698020263, 196666074, 44816747, 573452228, 1263913321}},
        PackageCase{"level", 171, 210, {698020263, 196666074, 374985680, 1741075726, 811600468}}),
    [](const auto& testCase) { return std::string(testCase.param.folder); });

}  // namespace
