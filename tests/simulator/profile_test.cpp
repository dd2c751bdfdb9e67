#include <gtest/gtest.h>

#include "simulator/simulator_profile.h"
#include "simulator_test_support.h"

namespace {

simulator::DeviceMemory miniMemory() {
    const simulator::DescriptionLoad load =
        simulator::loadDescriptionFile(simtest::dataFile("mini.zor"));
    EXPECT_TRUE(load) << load.error;
    simulator::DeviceMemory memory(load.description);
    EXPECT_TRUE(memory.applyDefaults().empty());
    return memory;
}

TEST(SimulatorProfile, ValuesOverrideDefaultsAsTheDeviceHoldsThem) {
    simulator::DeviceMemory memory = miniMemory();
    EXPECT_EQ(memory.text(1122622930), "MINI-1");
    EXPECT_EQ(memory.text(111), "2001-02-03");
    EXPECT_EQ(memory.text(105), "2");  // bit range default written into its parent
    EXPECT_EQ(memory.text(104), "17");

    const simulator::ProfileLoad profile =
        simulator::loadProfileFile(simtest::dataFile("mini-profile.xml"));
    ASSERT_TRUE(profile) << profile.error;
    EXPECT_EQ(profile.profile->descriptionFile, "mini.zor");
    EXPECT_EQ(profile.profile->shortAddress, 5u);
    EXPECT_TRUE(simulator::applyProfile(*profile.profile, memory).empty());

    EXPECT_EQ(memory.text(1122622930), "PT-7");
    EXPECT_EQ(memory.text(110), "BOILER FEED");  // packed ASCII holds capitals only
    EXPECT_EQ(memory.text(112), "A MESSAGE OF TWENTY-FOUR CHARACT");  // 24 bytes hold 32 characters
    EXPECT_EQ(memory.number(241), 17.25);
    EXPECT_EQ(memory.text(230), "pump");
    EXPECT_EQ(memory.number(113), 5);  // short_address is the value command 6 writes
}

TEST(SimulatorProfile, ValuesThatCannotBeAppliedAreNamedAndLeftAsTheyWere) {
    simulator::DeviceMemory memory = miniMemory();
    const simulator::ProfileLoad profile =
        simulator::loadProfileFile(simtest::dataFile("mini-profile-faulty.xml"));
    ASSERT_TRUE(profile) << profile.error;
    const std::vector<std::string> expected = {
        "profile line 3: parameter 12345 is not in the description",
        "profile line 4: parameter 201: \"300\" does not fit its type unsigned8",
        "profile line 5: parameter 111: \"31.02.2001\" does not fit its type date",
    };
    EXPECT_EQ(simulator::applyProfile(*profile.profile, memory), expected);
    EXPECT_EQ(memory.number(201), 0);
    EXPECT_EQ(memory.text(111), "2001-02-03");
    EXPECT_EQ(memory.number(202), -7);
}

TEST(SimulatorProfile, MalformedProfilesAreRefusedWithAReason) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"<profile/>", "the root element is not simulator_profile"},
        {"<simulator_profile short_address=\"64\"/>",
         "short_address \"64\" is not a polling address from 0 to 63"},
        {"<simulator_profile short_address=\"\"/>",
         "short_address \"\" is not a polling address from 0 to 63"},
        {"<simulator_profile>\n<value>1</value></simulator_profile>",
         "line 2: a value without reference_id"},
    };
    for (const Case& c : cases) {
        const simulator::ProfileLoad load = simulator::loadProfileText(c.text);
        EXPECT_FALSE(load);
        EXPECT_EQ(load.error, c.error);
    }
}

TEST(SimulatorProfile, PackageProfilesApplyCompletely) {
    for (const char* folder : {"positioner", "level"}) {
        const std::string profileFile = simtest::packageFolder(folder) + "/simulator-profile.xml";
        const simulator::ProfileLoad profile = simulator::loadProfileFile(profileFile);
        ASSERT_TRUE(profile) << profile.error;
        const simulator::DescriptionLoad description = simulator::loadDescriptionFile(
            simtest::packageFolder(folder) + "/" + profile.profile->descriptionFile);
        ASSERT_TRUE(description) << description.error;
        simulator::DeviceMemory memory(description.description);
        for (const std::string& problem : memory.applyDefaults())
            ADD_FAILURE() << folder << ": " << problem;
        for (const std::string& problem : simulator::applyProfile(*profile.profile, memory)) {
            ADD_FAILURE() << folder << ": " << problem;
        }
    }
}

TEST(SimulatorProfile, OpeningAFolderWithoutProfileFails) {
    const simulator::PackageLoad load =
        simulator::openPackage(simtest::dataFile("no-such-package"));
    EXPECT_FALSE(load);
    EXPECT_NE(load.error.find("simulator-profile.xml"), std::string::npos) << load.error;
}

}  // namespace
