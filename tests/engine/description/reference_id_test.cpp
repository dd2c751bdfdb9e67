#include "engine/description/reference_id.h"

#include <gtest/gtest.h>

#include <limits>

namespace engine {
namespace {

TEST(DescriptionReferenceId, LeadingDecimalDigits) {
    struct Case {
        const char* text;
        int32_t expected;
    };
    const Case cases[] = {
        {"12abc", 12},
        {"", 0},
        {"abc", 0},
        {"  42", 42},
        {"-5", -5},
        {"+7x", 7},
        {"1274278243", 1274278243},
        {"2147483647", std::numeric_limits<int32_t>::max()},
        {"2147483648", std::numeric_limits<int32_t>::max()},
        {"99999999999999999999999", std::numeric_limits<int32_t>::max()},
        {"-99999999999999999999999", std::numeric_limits<int32_t>::min()},
        {"1 2", 1},
    };
    for (const Case& c : cases) EXPECT_EQ(parseLeadingDecimal(c.text), c.expected) << c.text;
}

TEST(DescriptionReferenceId, FormattedAsUnsigned32Bits) {
    EXPECT_EQ(formatReferenceId(1122622930), "1122622930");
    EXPECT_EQ(formatReferenceId(-1), "4294967295");
    EXPECT_EQ(formatReferenceId(0), "0");
}

}  // namespace
}  // namespace engine
