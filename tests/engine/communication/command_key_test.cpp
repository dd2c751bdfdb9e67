#include "engine/communication/command_key.h"

#include <gtest/gtest.h>

namespace engine::communication {
namespace {

struct KeyCase {
    uint32_t command;
    uint32_t index;
    CommandKey key;
    int32_t asInt32;
};

TEST(ChannelCommandKey, NumberTimesFactorPlusIndexModulo16777216) {
    const KeyCase cases[] = {
        {3, 0, 50331648u, 50331648},
        {9, 2, 150994946u, 150994946},
        {127, 255, 2130706687u, 2130706687},
        {173, 0, 2902458368u, -1392508928},
        {173, 2, 2902458370u, -1392508926},
        {255, 0, 4278190080u, -16777216},
        {9, 258, 150995202u, 150995202},  // outside the map's indexes 0 to 255
        {9, 16777218, 150994946u, 150994946},
        {256, 1, 1u, 1},                  // the number wraps into 8 bits
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(commandKey(c.command, c.index), c.key);
        EXPECT_EQ(commandKeyAsInt32(c.key), c.asInt32);
        EXPECT_EQ(commandNumberOf(c.key), c.command % 256);
    }
}

TEST(ChannelCommandKey, DecimalTextSurvivesCommandsFrom128Up) {
    for (uint32_t command : {0u, 1u, 127u, 128u, 173u, 200u, 255u}) {
        for (uint32_t index : {0u, 2u, 255u}) {
            const CommandKey key = commandKey(command, index);
            EXPECT_EQ(parseCommandKey(formatCommandKey(key)), key)
                << command << "(" << index << ")";
        }
    }
    EXPECT_EQ(formatCommandKey(commandKey(173, 0)), "2902458368");
}

TEST(ChannelCommandKey, TextWrapsInsteadOfSaturating) {
    const std::pair<const char*, CommandKey> cases[] = {
        {"4294967295", 4294967295u},
        {"4294967296", 0u},
        {"4294967297", 1u},
        {"-1", 4294967295u},
        {"  12abc", 12u},
        {"", 0u},
        {"x1", 0u},
        {"+7", 7u},
    };
    for (const auto& [text, key] : cases) EXPECT_EQ(parseCommandKey(text), key) << text;
}

}  // namespace
}  // namespace engine::communication
