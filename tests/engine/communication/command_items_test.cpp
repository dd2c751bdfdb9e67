#include "engine/communication/command_items.h"

#include <gtest/gtest.h>

#include "channel_test_support.h"

namespace engine::communication::testing {
namespace {

class ChannelCommandItemsTest : public ::testing::Test {
protected:
    ChannelCommandItemsTest()
        : deviceDocument(
              loadDescriptionDocument(fixture("channel_device.xml"), kDeviceDescriptionNamespace)),
          dtmDocument(
              loadDescriptionDocument(fixture("channel_dtm.xml"), kDtmDescriptionNamespace)) {
        loadModel(device, deviceDocument, dtmDocument);
    }

    std::string display(ParameterId id) { return device.find(id)->getValueText(kDisplayMode); }
    void set(ParameterId id, const std::string& text) { device.setValue(id, text, kDisplayMode); }

    xml::Document deviceDocument;
    xml::Document dtmDocument;
    DeviceObject device;
};

TEST_F(ChannelCommandItemsTest, ItemsInDocumentOrder) {
    const std::vector<RequestItem> request = requestItems(device, commandKey(156, 0));
    ASSERT_EQ(request.size(), 3u);
    EXPECT_EQ(request[0].referencedParameter, 2002);
    EXPECT_EQ(request[2].referencedParameter, 9999);
    EXPECT_TRUE(request[0].referenceType.empty());

    const std::vector<ReplyItem> reply = replyItems(device, commandKey(200, 0));
    ASSERT_EQ(reply.size(), 2u);
    EXPECT_EQ(reply[1].referencedParameter, 2010);
    EXPECT_EQ(reply[1].position, 1);
    EXPECT_EQ(reply[1].size, 1);
    EXPECT_EQ(reply[1].referenceType, "pointer_value");

    EXPECT_TRUE(requestItems(device, commandKey(42, 0)).empty());
    EXPECT_TRUE(replyItems(device, commandKey(42, 0)).empty());
}

TEST_F(ChannelCommandItemsTest, IndexesSelectTheirOwnCommand) {
    EXPECT_EQ(replyItems(device, commandKey(9, 2)).at(0).referencedParameter, 2020);
    EXPECT_EQ(replyItems(device, commandKey(9, 0)).at(0).referencedParameter, 2021);
    // Index 258 of the description is kept as 2; 258 in a script is no index of the map.
    EXPECT_TRUE(replyItems(device, commandKey(173, 258)).empty());
    EXPECT_EQ(replyItems(device, commandKey(173, 2)).size(), 1u);
    EXPECT_GT(commandKey(173, 2), 2147483648u);
}

TEST_F(ChannelCommandItemsTest, RequestBytesFollowEachOther) {
    set(2001, "1");
    set(2002, "4660");
    set(2003, "AB");
    const RequestBytes setpoint = buildRequestBytes(device, commandKey(155, 0));
    EXPECT_EQ(setpoint.byteArray, "3f800000");
    EXPECT_FALSE(setpoint.inconsistentParameter);

    // Unknown reference ids contribute nothing.
    EXPECT_EQ(buildRequestBytes(device, commandKey(156, 0)).byteArray, "12344142202020202020");

    // No request items, or no command at all: no CommunicationData.
    EXPECT_FALSE(buildRequestBytes(device, commandKey(3, 0)).byteArray);
    EXPECT_FALSE(buildRequestBytes(device, commandKey(42, 0)).byteArray);
}

TEST_F(ChannelCommandItemsTest, InconsistentParameterStopsTheRequest) {
    set(2001, "150");  // above the upper limit: refused and marked out of range
    ASSERT_TRUE(device.inconsistency(2001));
    const RequestBytes bytes = buildRequestBytes(device, commandKey(155, 0));
    EXPECT_EQ(bytes.inconsistentParameter, 2001);
    EXPECT_FALSE(bytes.byteArray);
}

TEST_F(ChannelCommandItemsTest, RequestItemsAddressThePointerTarget) {
    set(2020, "7");
    EXPECT_EQ(buildRequestBytes(device, commandKey(200, 0)).byteArray, "07");
}

TEST_F(ChannelCommandItemsTest, ReplyBytesGoToTheirParameters) {
    const ReplyDistribution result = distributeReply(device, commandKey(3, 0), "3f8000001234");
    EXPECT_TRUE(result.commandKnown);
    EXPECT_EQ(result.decoded, 2u);
    EXPECT_EQ(display(2000), "1.0000000000");
    EXPECT_EQ(display(2002), "4660");
}

TEST_F(ChannelCommandItemsTest, PointerReplyItemsByReferenceType) {
    // First byte: the target of the pointer (2020); second: the pointer itself,
    // set from the code "61" (bytes "61" as text), moving it to 2021.
    distributeReply(device, commandKey(200, 0), "2A61");
    EXPECT_EQ(display(2020), "42");
    EXPECT_EQ(display(2010), "61");
    distributeReply(device, commandKey(200, 0), "05");
    EXPECT_EQ(display(2021), "5");
}

TEST_F(ChannelCommandItemsTest, SkipRules) {
    struct Case {
        const char* bytes;
        size_t decoded;
        size_t skipped;
    };
    // Items of 140: (2002, 0, 2), (2000, 3, 2), (2020, 2, 1).
    const Case cases[] = {
        {"ABCD0F00", 2, 1},      // 8 characters: position 3 size 2 lies past the end
        {"ABCD0F001122", 3, 0},  // all fit
        {"ABCD0", 1, 1},         // odd length: the second and third item stop at position 3
        {"AB", 0, 2},  // the first two are too long; the third starts past the previous position 3
        {"", 0, 0},    // nothing to walk
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const ReplyDistribution result = distributeReply(device, commandKey(140, 0), c.bytes);
        EXPECT_EQ(result.decoded, c.decoded);
        EXPECT_EQ(result.skipped, c.skipped);
    }
    set(2002, "1");
    distributeReply(device, commandKey(140, 0), "ABCD0F00");
    EXPECT_EQ(display(2002), "43981");
    EXPECT_EQ(display(2020), "15");

    EXPECT_FALSE(distributeReply(device, commandKey(42, 0), "00").commandKnown);
}

}  // namespace
}  // namespace engine::communication::testing
