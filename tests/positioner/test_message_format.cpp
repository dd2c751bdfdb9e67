// Filling translated texts: only the one expected conversion is filled, so a
// text from the language file can never make printf read arguments it lacks.

#include <gtest/gtest.h>

#include <ostream>

#include "positioner/message_format.h"

namespace {

struct TextCase {
    const char* format;
    const char* argument;
    const char* expected;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << '"' << c.format << '"';
}

class PositionerFormatWithText : public ::testing::TestWithParam<TextCase> {};

TEST_P(PositionerFormatWithText, FillsTheFirstTextConversionOnly) {
    EXPECT_EQ(positioner::formatWithText(GetParam().format, GetParam().argument),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PositionerFormatWithText,
    ::testing::Values(TextCase{"Autotune failed with error code %s.", "99",
                               "Autotune failed with error code 99."},
                      TextCase{"%s and %s", "a", "a and %s"}, TextCase{"%d %n %s", "x", "%d %n x"},
                      TextCase{"100 %% sure: %s", "yes", "100 % sure: yes"},
                      TextCase{"[%5s]", "ab", "[   ab]"}, TextCase{"[%-4s]", "ab", "[ab  ]"},
                      TextCase{"[%.2s]", "abcdef", "[ab]"},
                      TextCase{"no conversion", "x", "no conversion"},
                      TextCase{"trailing %", "x", "trailing %"},
                      TextCase{"%99999s", "x", "%99999s"}, TextCase{"%f", "x", "%f"}));

struct NumberCase {
    const char* format;
    double argument;
    const char* expected;
};

void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << '"' << c.format << '"';
}

class PositionerFormatWithNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(PositionerFormatWithNumber, FillsTheFirstNumberConversionOnly) {
    EXPECT_EQ(positioner::formatWithNumber(GetParam().format, GetParam().argument),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PositionerFormatWithNumber,
    ::testing::Values(NumberCase{"invalid at %.1f %%: same X", 25.0, "invalid at 25.0 %: same X"},
                      NumberCase{"%.1f then %.1f", 1.25, "1.2 then %.1f"},
                      NumberCase{"%s %.2f", 3.14159, "%s 3.14"}, NumberCase{"%lf", 2.5, "2.500000"},
                      NumberCase{"%e", 0.5, "5.000000e-01"}, NumberCase{"%n%.1f", 1.0, "%n1.0"}));

TEST(PositionerCutToCharacters, KeepsMultiByteCharactersWhole) {
    EXPECT_EQ(positioner::cutToCharacters("abcdef", 4), "abcd");
    EXPECT_EQ(positioner::cutToCharacters("abc", 4), "abc");
    EXPECT_EQ(positioner::cutToCharacters("\xC3\xA4\xC3\xB6\xC3\xBC", 2), "\xC3\xA4\xC3\xB6");
}

}  // namespace
