#include "engine/parameters/wire_coding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace engine::wire {
namespace {

TEST(ParameterWireCoding, IntegersKeepTheLastDigitsOfTheirSize) {
    struct Case {
        uint32_t value;
        int size;
        const char* expected;
    };
    const Case cases[] = {
        {4660, 2, "1234"},          {300, 1, "2C"},  {0xFFFFFFFE, 2, "FFFE"},
        {0x00ABCDEF, 3, "ABCDEF"},  {7, 4, "00000007"}, {0x12345678, 0, ""},
        {0x12345678, 9, "12345678"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encodeInteger(c.value, c.size), c.expected) << c.value << " size " << c.size;
    }
}

TEST(ParameterWireCoding, UnsignedAndSignedDecoding) {
    struct Case {
        const char* text;
        uint32_t asUnsigned;
        int32_t asSigned;
    };
    const Case cases[] = {
        {"FFFE", 65534, -2},
        {"1234", 0x1234, 0x1234},
        {"80", 128, -128},
        {"7F", 127, 127},
        {"FFFFFF", 0xFFFFFF, -1},
        {"FFFFFFFF", 0xFFFFFFFF, -1},
        {"0000000107", 1, 1},   // only the first 8 characters count
        {"12zz34", 0x12, 0x12},  // stops at the first pair that is not hexadecimal
        {"123", 0x12, 0x12},     // an odd digit is no pair
        {"", 0, 0},
        {"fffe", 65534, -2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decodeUnsigned(c.text), c.asUnsigned) << c.text;
        EXPECT_EQ(decodeSigned(c.text), c.asSigned) << c.text;
    }
}

TEST(ParameterWireCoding, FloatsAreSinglePrecisionLowerCase) {
    EXPECT_EQ(encodeFloat(1.0), "3f800000");
    EXPECT_EQ(encodeFloat(-2.5), "c0200000");
    EXPECT_EQ(encodeFloat(1e300), "7f800000");
    EXPECT_EQ(encodeFloat(-1e300), "ff800000");
    EXPECT_EQ(encodeFloat(std::numeric_limits<double>::infinity()), "7f800000");
    EXPECT_EQ(decodeFloating("3f800000"), 1.0);
    EXPECT_EQ(decodeFloating("3F800000"), 1.0);
    EXPECT_EQ(decodeFloating("3ff0000000000000"), 1.0);  // sixteen digits: a double
    EXPECT_EQ(decodeFloating("3ff00000000000001234"), 1.0);
    EXPECT_EQ(decodeFloating("3f80zz00"), std::bit_cast<double>(uint64_t{0x3f80}));
    EXPECT_EQ(decodeFloating(""), 0.0);
    EXPECT_TRUE(std::isnan(decodeFloating("7fc00000")));
}

TEST(ParameterWireCoding, StringsArePaddedWithBlanks) {
    struct Case {
        const char* text;
        size_t size;
        const char* expected;
    };
    const Case cases[] = {
        {"AB", 8, "4142202020202020"},
        {"ABCDEFGHIJ", 4, "41424344"},
        {"\n", 2, "0a20"},      // low codes keep two digits
        {"\xC3\xA4", 1, "e4"},  // a UTF-8 character up to 255 is one byte
        {"\xE2\x82\xAC", 1, "3f"},  // beyond 255: '?'
        {"\xFF", 1, "ff"},      // a stray byte stands for itself
        {"AB", 0, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(encodeString(c.text, c.size), c.expected) << c.text;
}

TEST(ParameterWireCoding, StringDecodingTrimsAndCuts) {
    struct Case {
        const char* text;
        size_t maxChars;
        const char* expected;
    };
    const Case cases[] = {
        {"4142202020202020", 8, "AB"},
        {"2020414220", 8, "AB"},
        {"41424344", 2, "AB"},
        {"41424344", 0, "ABCD"},
        {"41420043", 8, "AB"},  // a zero byte ends the text
        {"e4", 4, "\xC3\xA4"},
        {"4142zz43", 8, "AB"},
    };
    for (const Case& c : cases) EXPECT_EQ(decodeString(c.text, c.maxChars), c.expected) << c.text;
}

TEST(ParameterWireCoding, PackedAscii) {
    EXPECT_EQ(encodePackedAscii("ab", 6), "042820820820");
    EXPECT_EQ(encodePackedAscii("AB", 6), "042820820820");
    EXPECT_EQ(encodePackedAscii("", 3), "820820");
    EXPECT_EQ(encodePackedAscii("ABCDEFGHIJ", 6), "0420C41461C8");  // cut to eight characters
    EXPECT_EQ(encodePackedAscii("AB", 4), "04282082");               // not a multiple of 3
    EXPECT_EQ(decodePackedAscii("042820820820", 8), "AB");
    EXPECT_EQ(decodePackedAscii("0420C41461C8", 8), "ABCDEFGH");
    EXPECT_EQ(decodePackedAscii("0420C41461C8", 3), "ABC");
    EXPECT_EQ(decodePackedAscii("0420", 8), "AB");  // short group: its complete codes
    EXPECT_EQ(decodePackedAscii("04zz", 8), "A");
}

TEST(ParameterWireCoding, BitmapsRunFromTheLastStoredByte) {
    EXPECT_EQ(encodeBitmap({0x01, 0x80}), "8001");
    std::vector<uint8_t> bytes{0xAA, 0xBB, 0xCC};
    decodeBitmap("0102", bytes);  // fills from the last byte; the first keeps its value
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0xAA, 0x02, 0x01}));
    decodeBitmap("11223344", bytes);  // never more than the stored size
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x33, 0x22, 0x11}));
    std::vector<uint8_t> grown;
    decodeBitmap("0102zz", grown);
    EXPECT_EQ(grown, (std::vector<uint8_t>{0x02, 0x01}));
}

TEST(ParameterWireCoding, DatesAreDayMonthYear) {
    EXPECT_EQ(encodeDate({24, 12, 2024}), "180c7c");
    EXPECT_EQ(encodeDate({1, 1, 1900}), "010100");
    struct Case {
        const char* text;
        WireDate expected;
    };
    const Case cases[] = {
        {"180c7c", {24, 12, 2024}},
        {"000d7c", {1, 1, 2024}},  // day 0 and month 13 become 1
        {"200c00", {1, 12, 1900}},  // day 32 becomes 1
        {"1f0cff", {31, 12, 2155}},
        {"05", {5, 6, 2000}},       // missing fields keep their value
    };
    for (const Case& c : cases) {
        WireDate date{9, 6, 2000};
        decodeDate(c.text, date);
        EXPECT_EQ(date.day, c.expected.day) << c.text;
        EXPECT_EQ(date.month, c.expected.month) << c.text;
        EXPECT_EQ(date.year, c.expected.year) << c.text;
    }
}

}  // namespace
}  // namespace engine::wire
