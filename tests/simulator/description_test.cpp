#include <gtest/gtest.h>

#include "simulator/device_description.h"
#include "simulator_test_support.h"

namespace {

using simulator::ValueKind;

std::string wrap(const std::string& body) {
    return "<?xml version=\"1.0\"?>\n<device_description "
           "xmlns=\"http://hartdtm.invalid/device_description\">" +
           body + "</device_description>";
}

std::string hartBlock(const std::string& content) {
    return wrap("<device_interface bus_type=\"hart\"><block name=\"b\">" + content +
                "</block></device_interface>");
}

const char* kByteParameter =
    "<parameter reference_id=\"7\"><data_type type_name=\"unsigned8\"><sized_type "
    "size=\"1\"/></data_type></parameter>";

TEST(SimulatorDescription, MiniFixtureGivesKindsSizesAndCommands) {
    const simulator::DescriptionLoad load =
        simulator::loadDescriptionFile(simtest::dataFile("mini.zor"));
    ASSERT_TRUE(load) << load.error;
    EXPECT_TRUE(load.warnings.empty());
    const simulator::DeviceDescription& d = *load.description;
    EXPECT_EQ(d.deviceName(), "Mini");

    struct Expect {
        simulator::ReferenceId id;
        ValueKind kind;
        std::size_t size;
    };
    for (const Expect& e :
         {Expect{103, ValueKind::Unsigned, 3}, Expect{105, ValueKind::BitRange, 1},
          Expect{111, ValueKind::Date, 3}, Expect{112, ValueKind::PackedAscii, 24},
          Expect{202, ValueKind::Signed, 2}, Expect{210, ValueKind::Complex, 3},
          Expect{220, ValueKind::Bitmap, 2}, Expect{240, ValueKind::Pointer, 1},
          Expect{900, ValueKind::Signed, 2}}) {
        const simulator::ParameterInfo* info = d.parameter(e.id);
        ASSERT_NE(info, nullptr) << e.id;
        EXPECT_EQ(info->kind, e.kind) << e.id;
        EXPECT_EQ(info->size, e.size) << e.id;
    }
    EXPECT_EQ(d.parameter(105)->parent, 104u);
    EXPECT_EQ(d.parameter(105)->bitLow, 3);
    EXPECT_EQ(d.parameter(105)->bitHigh, 7);
    EXPECT_FALSE(d.parameter(900)->inHartInterface);
    EXPECT_EQ(d.parameter(200)->upperLimit.pointer, 203u);

    const simulator::CommandInfo* write = d.command(130);
    ASSERT_NE(write, nullptr);
    EXPECT_EQ(write->request.size(), 3u);
    EXPECT_EQ(d.requestSize(*write), 7u);
    EXPECT_EQ(write->replySize, 11u);
    EXPECT_EQ(d.command(99), nullptr);
    EXPECT_EQ(d.parameterWithCode(2), 242u);
}

TEST(SimulatorDescription, FailuresNameTheirReason) {
    struct Case {
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        {wrap("<device_interface bus_type=\"internal\"><block/></device_interface>"),
         "the description has no HART device interface"},
        {hartBlock("<parameter reference_id=\"5\"/>"), "parameter 5 has no data type"},
        {hartBlock("<parameter reference_id=\"5\"><data_type type_name=\"Float\"/></parameter>"),
         "parameter 5 has the unknown data type \"Float\""},
        {hartBlock("<parameter reference_id=\"5\"><data_type type_name=\"complex\"/>"
                   "<component reference_id=\"5\"><data_type "
                   "type_name=\"unsigned8\"/></component></parameter>"),
         "parameter 5 repeats the id of a parameter it belongs to"},
    };
    for (const Case& c : cases) {
        const simulator::DescriptionLoad load = simulator::loadDescriptionText(c.text);
        EXPECT_FALSE(load);
        EXPECT_EQ(load.error, c.error);
    }
}

TEST(SimulatorDescription, MalformedXmlNamesTheLine) {
    const simulator::DescriptionLoad load = simulator::loadDescriptionText("<a>\n<b>\n</a>");
    ASSERT_FALSE(load);
    EXPECT_EQ(load.error.rfind("text:3:", 0), 0u) << load.error;
}

TEST(SimulatorDescription, QuestionableItemsAreLeftOutWithAWarning) {
    const std::string text =
        hartBlock(std::string(kByteParameter) + kByteParameter +
                  "<action_hart><addressing><code_hart>140</code_hart></addressing>"
                  "<query byte_count=\"2\"><action_item referenced_parameter=\"8\"/>"
                  "<action_item referenced_parameter=\"7\"/></query>"
                  "<reply byte_count=\"3\"><action_item referenced_parameter=\"7\" "
                  "position=\"250\" size=\"6\"/>"
                  "<action_item referenced_parameter=\"7\" size=\"1\"/>"
                  "<action_item referenced_parameter=\"9\" position=\"1\" size=\"1\"/>"
                  "</reply></action_hart>"
                  "<action_hart><addressing><code_hart>300</code_hart></addressing></action_hart>");
    const simulator::DescriptionLoad load = simulator::loadDescriptionText(text);
    ASSERT_TRUE(load) << load.error;
    const std::vector<std::string> expected = {
        "parameter 7 is declared twice; the later one is used",
        "command 140 reply item 1 lies beyond a HART frame and is left out",
        "command 140 reply item 2 lacks its position or size and is left out",
        "command number 300 is not a HART command and is left out",
        "command 140 request item 1 names the unknown parameter 8 and carries no bytes",
        "command 140 reply item 3 names the unknown parameter 9 and is sent as zeros",
        "command 140 declares 2 request bytes, its items take 1",
        "command 140 declares 3 reply bytes, its items end at 2",
    };
    EXPECT_EQ(load.warnings, expected);
    const simulator::CommandInfo* command = load.description->command(140);
    ASSERT_NE(command, nullptr);
    ASSERT_EQ(command->request.size(), 1u);
    EXPECT_EQ(command->request[0].id, 7u);
    EXPECT_EQ(command->replySize, 2u);
}

TEST(SimulatorDescription, LaterCommandWithSameNumberAndIndexReplacesTheEarlier) {
    const std::string text = hartBlock(
        std::string(kByteParameter) +
        "<action_hart "
        "name=\"first\"><addressing><code_hart>150</code_hart><index>256</index></addressing></"
        "action_hart>"
        "<action_hart "
        "name=\"indexed\"><addressing><code_hart>150</code_hart><index>1</index></addressing></"
        "action_hart>"
        "<action_hart "
        "name=\"second\"><addressing><code_hart>150</code_hart></addressing></action_hart>");
    const simulator::DescriptionLoad load = simulator::loadDescriptionText(text);
    ASSERT_TRUE(load) << load.error;
    ASSERT_EQ(load.description->commands().size(), 2u);
    EXPECT_EQ(load.description->command(150)->name, "second");
}

TEST(SimulatorDescription, LeadingDecimalReadsDigitsOnly) {
    EXPECT_EQ(simulator::leadingDecimal("12abc"), 12u);
    EXPECT_EQ(simulator::leadingDecimal(" 42"), 42u);
    EXPECT_EQ(simulator::leadingDecimal("x1"), 0u);
    EXPECT_EQ(simulator::leadingDecimal(""), 0u);
    EXPECT_EQ(simulator::leadingDecimal("4294967297"), 1u);
}

TEST(SimulatorDescription, BothPackagesLoadWithoutWarnings) {
    for (const char* file : {"positioner/Ravik.zor", "level/Lenmor.zor"}) {
        const simulator::DescriptionLoad load =
            simulator::loadDescriptionFile(simtest::packageFolder(file));
        ASSERT_TRUE(load) << file << ": " << load.error;
        for (const std::string& warning : load.warnings) ADD_FAILURE() << file << ": " << warning;
        EXPECT_NE(load.description->command(0), nullptr) << file;
    }
}

}  // namespace
