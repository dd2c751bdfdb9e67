#include "engine/parameters/value_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace engine::value_text {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ParameterValueText, UserFloatingTexts) {
    struct Case {
        const char* text;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"12.5", 12.5},   {"-3", -3.0},     {"+4", 4.0},         {"1,5", 1.5},
        {"1,000,5", 1.0}, {"1.5,5", 1.5},   {"", 0.0},           {"-", 0.0},
        {"12a", std::nullopt},              {"1e5", std::nullopt}, {" 1", std::nullopt},
        {"#INF", kInf},   {"-#INF", -kInf}, {"x#", kInf},
    };
    for (const Case& c : cases) EXPECT_EQ(parseUserFloating(c.text), c.expected) << c.text;
}

TEST(ParameterValueText, UserIntegerTexts) {
    struct Case {
        const char* text;
        std::optional<uint32_t> asUnsigned;
        std::optional<int32_t> asSigned;
    };
    const Case cases[] = {
        {"31", 31u, 31},
        {"0x1F", 31u, std::nullopt},
        {"0X1f", 31u, std::nullopt},
        {"5.00", 5u, 5},
        {"5.", 5u, 5},
        {"5.5", std::nullopt, std::nullopt},
        {"5.0.0", std::nullopt, std::nullopt},
        {"-3", std::nullopt, -3},
        {"+7", 7u, 7},
        {"", std::nullopt, std::nullopt},
        {".", std::nullopt, std::nullopt},
        {"5+3", std::nullopt, std::nullopt},
        {"4294967295", 4294967295u, std::nullopt},
        {"4294967296", std::nullopt, std::nullopt},
        {"-2147483648", std::nullopt, std::numeric_limits<int32_t>::min()},
        {"0xFFFFFFFF", 0xFFFFFFFFu, std::nullopt},
        {"0x100000000", std::nullopt, std::nullopt},
        {"0x0000000012", 0x12u, std::nullopt},
        {"0x", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseUserUnsigned(c.text), c.asUnsigned) << c.text;
        EXPECT_EQ(parseUserSigned(c.text), c.asSigned) << c.text;
    }
}

TEST(ParameterValueText, FloatingRanges) {
    struct Case {
        const char* range;
        double value;
        bool accepted;
    };
    const Case cases[] = {
        {"[0 to 100]", 100.0, true},
        {"[0 to 100]", 100.5, false},
        {"[0 to 100]", -0.1, false},
        {"[1=On][2=Off]", 1.0, true},
        {"[1=On][2=Off]", 2.0, true},
        {"[1=On][2=Off]", 1.5, false},
        {"[1=On][2=Off]", 3.0, false},
        {"[0 to 10][20 to 30]", 25.0, true},
        {"[0 to 10], [20 to 30]", 15.0, false},  // the separator takes no part
        {"[10 to 0]", 5.0, false},               // lo > hi accepts nothing
        {"[5]", 1e9, true},                      // a single number is a lower bound
        {"[5]", 4.0, false},
        {"", -1e9, true},
        {"no numbers", -5.0, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(floatingInRange(c.value, c.range), c.accepted) << c.range << " " << c.value;
    }
}

TEST(ParameterValueText, IntegerRangesClampToTheLastRefusingPiece) {
    struct Case {
        const char* range;
        int64_t value;
        bool accepted;
        int64_t clamp;
    };
    const Case cases[] = {
        {"[0 to 10]", 12, false, 10},
        {"[0 to 10]", -3, false, 0},
        {"[0 to 10]", 10, true, 0},
        {"[0 to 10],[20 to 30]", 25, true, 0},
        {"[0 to 10],[20 to 30]", 15, false, 20},
        {"[0 to 10], [20 to 30]", 15, false, 20},
        {"[0 to 10],garbage", 50, true, 0},  // a piece without both numbers accepts
        {"[10 to 0]", 50, true, 0},          // lo >= hi is ignored
        {"[-10 to -5]", 0, false, -5},
        {"{0,\"Off\"}{1,\"On\"}", 7, true, 0},
        {"", 123456, true, 0},
    };
    for (const Case& c : cases) {
        const IntegerRangeCheck check = checkIntegerRange(c.value, c.range);
        EXPECT_EQ(check.accepted, c.accepted) << c.range << " " << c.value;
        if (!c.accepted) {
            EXPECT_EQ(check.clamp, c.clamp) << c.range << " " << c.value;
        }
    }
}

TEST(ParameterValueText, UnitCodesAreLookedUpInTheRange) {
    struct Case {
        const char* unit;
        const char* range;
        const char* expected;
    };
    const Case cases[] = {
        {"39", "{39,\"mA\"}{32,\"deg C\"}", "mA"},
        {"32", "{39,\"mA\"}{32,\"deg C\"}", "deg C"},
        {"64", "{0x40,\"hex unit\"}", "hex unit"},
        {"0x40", "{64,\"hex unit\"}", "hex unit"},
        {"7", "{39,\"mA\"}", "7"},
        {"[mA]", "[0 to 10]", "mA"},
        {"mA", "{0,\"zero\"}", "mA"},  // a unit that is not a code stays
        {"\"V\"", "", "V"},
    };
    for (const Case& c : cases) EXPECT_EQ(lookUpUnitCode(c.unit, c.range), c.expected) << c.unit;
}

TEST(ParameterValueText, FixedFormatAndInfinities) {
    EXPECT_EQ(formatFixed(1.5), "1.5000000000");
    EXPECT_EQ(formatFixed(-0.25, 2), "-0.25");
    EXPECT_EQ(formatFixed(kInf), "#INF");
    EXPECT_EQ(formatFixed(-kInf), "-#INF");
    // The widest double is written whole.
    EXPECT_EQ(formatFixed(std::numeric_limits<double>::max()).size(), 309u + 11u);
}

TEST(ParameterValueText, LimitDecimals) {
    struct Case {
        double x;
        int decimals;
    };
    const Case cases[] = {
        // Remainders are those of binary floating point: 2.25 has a remainder
        // modulo 0.01 just below 0.01, so it counts as needing three decimals.
        {0.0, 0}, {100.0, 0}, {-20.0, 0}, {1.05, 0}, {12.3, 1}, {2.25, 3},
        {0.01, 2}, {0.04, 2}, {0.2, 1}, {0.03, 3},
    };
    for (const Case& c : cases) EXPECT_EQ(limitDecimals(c.x), c.decimals) << c.x;
}

}  // namespace
}  // namespace engine::value_text
