// Command 0 identity in the layouts of revisions 5, 6 and 7, and the long
// address it gives.

#include <gtest/gtest.h>

#include "hart/identity.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct IdentityCase {
    const char* name;
    Bytes data;
    std::uint8_t revision;
    std::uint16_t manufacturer;
    std::uint8_t replyPreambles;
    std::array<std::uint8_t, 5> unique;
};

class IdentityLayouts : public ::testing::TestWithParam<IdentityCase> {};

TEST_P(IdentityLayouts, DecodeAndLongAddress) {
    const IdentityCase& c = GetParam();
    const hart::IdentityRead read = hart::decodeIdentity(c.data);
    ASSERT_TRUE(read) << read.reason;
    EXPECT_EQ(read.identity->universalRevision, c.revision);
    EXPECT_EQ(read.identity->manufacturerId, c.manufacturer);
    EXPECT_EQ(read.identity->requestPreambles, 5);
    EXPECT_EQ(read.identity->replyPreambles, c.replyPreambles);
    EXPECT_EQ(read.identity->uniqueAddress(), c.unique);
    EXPECT_EQ(hart::encodeIdentity(*read.identity), c.data);
}

INSTANTIATE_TEST_SUITE_P(
    Revisions, IdentityLayouts,
    ::testing::Values(
        IdentityCase{"hart5", {254, 0x26, 0x06, 5, 5, 3, 2, 0x09, 0x00, 0x12, 0x34, 0x56}, 5, 0x26, 5,
                     {0x26, 0x06, 0x12, 0x34, 0x56}},
        IdentityCase{"hart6", {254, 0x26, 0x06, 5, 6, 3, 2, 0x09, 0x00, 0x12, 0x34, 0x56, 8, 4, 0x00, 0x07, 0x00},
                     6, 0x26, 8, {0x26, 0x06, 0x12, 0x34, 0x56}},
        IdentityCase{"hart7_expanded_type",
                     {254, 0xE1, 0xA5, 5, 7, 3, 2, 0x09, 0x00, 0x12, 0x34, 0x56, 5, 4, 0x00, 0x07, 0x00,
                      0x60, 0x26, 0x00, 0x26, 0x01},
                     7, 0x6026, 5, {0x21, 0xA5, 0x12, 0x34, 0x56}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(IdentityLayouts, RefusesShortOrForeignReplies) {
    EXPECT_FALSE(hart::decodeIdentity(Bytes(11, 254)));
    EXPECT_FALSE(hart::decodeIdentity(Bytes{253, 0x26, 0x06, 5, 5, 3, 2, 0, 0, 1, 2, 3}));
    const hart::IdentityRead shortSeven =
        hart::decodeIdentity(Bytes{254, 0xE1, 0xA5, 5, 7, 3, 2, 0, 0, 1, 2, 3, 5, 4});
    EXPECT_FALSE(shortSeven);
    EXPECT_NE(shortSeven.reason.find("needs 22"), std::string::npos);
}

}  // namespace
