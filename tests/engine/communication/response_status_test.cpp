#include "engine/communication/response_status.h"

#include <gtest/gtest.h>

namespace engine::communication {
namespace {

TEST(ChannelCommunicationStatusText, EachSetBitBesideBit7AddsItsLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"194", "rx buffer overflow\nparity error\n"},
        {"128", ""},
        {"129", ""},
        {"0", ""},
        {"66", ""},  // 0x42: no communication error without bit 7
        {"132", "(reserved)\n"},
        {"136", "checksum error\n"},
        {"144", "framing error\n"},
        {"160", "overrun error\n"},
        {"254",
         "rx buffer overflow\n(reserved)\nchecksum error\nframing error\noverrun error\nparity "
         "error\n"},
        {"450", "rx buffer overflow\nparity error\n"},  // only the low byte counts
        {"", ""},
        {"junk", ""},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(communicationStatusText(value), expected) << value;
}

TEST(ChannelResponseCode, IgnoredCodesAreFoundAnywhereInTheText) {
    struct Case {
        const char* value;
        const char* ignored;
        uint8_t code;
    };
    const Case cases[] = {
        {"0", "", 0},    {"32", "", 32},    {"1", "16", 0},   // "1" occurs inside "16"
        {"16", "1", 16}, {"32", "8,32", 0}, {"288", "", 32},  // low 8 bits
        {"6", "16", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(effectiveResponseCode(c.value, c.ignored), c.code)
            << c.value << " in " << c.ignored;
    }
    EXPECT_EQ(responseCodeKey("32"), "CMDResponse32");
}

TEST(ChannelResponseCode, RepeatOnOkRetryAndYes) {
    for (int32_t result = 0; result <= 7; ++result) {
        EXPECT_EQ(asksForRepeat(result), result == 1 || result == 4 || result == 6) << result;
    }
}

}  // namespace
}  // namespace engine::communication
