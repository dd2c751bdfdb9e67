#include "simulator/value_coding.h"

#include <gtest/gtest.h>

#include "simulator/hex_text.h"
#include "simulator_test_support.h"

namespace {

using simulator::ParameterInfo;
using simulator::Value;
using simulator::ValueKind;

ParameterInfo param(ValueKind kind, std::size_t size) {
    ParameterInfo info;
    info.kind = kind;
    info.size = size;
    return info;
}

std::string hex(const simulator::Bytes& bytes) {
    return simulator::toHexText(bytes);
}

simulator::Bytes bytes(std::string_view text) {
    return simulator::fromHexText(text).value();
}

const simulator::DeviceDescription kNoDescription;

struct EncodeCase {
    const char* name;
    ValueKind kind;
    std::size_t size;
    const char* display;
    std::size_t n;
    const char* wire;
};

class SimulatorValueEncode : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(SimulatorValueEncode, DisplayTextEncodesToWireBytes) {
    const EncodeCase& c = GetParam();
    const ParameterInfo info = param(c.kind, c.size);
    const auto value = simulator::parseDisplayText(info, c.display, kNoDescription);
    ASSERT_TRUE(value) << c.display;
    EXPECT_EQ(hex(simulator::encodeValue(info, *value, c.n, kNoDescription)), c.wire);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SimulatorValueEncode,
    ::testing::Values(
        EncodeCase{"unsigned16", ValueKind::Unsigned, 2, "4660", 2, "1234"},
        EncodeCase{"unsigned24_hex", ValueKind::Unsigned, 3, "0x123456", 3, "123456"},
        EncodeCase{"unsigned_zero_fraction", ValueKind::Unsigned, 1, "5.00", 1, "05"},
        EncodeCase{"unsigned_in_wider_item", ValueKind::Unsigned, 1, "200", 2, "00C8"},
        EncodeCase{"signed16_negative", ValueKind::Signed, 2, "-2", 2, "FFFE"},
        EncodeCase{"signed8_in_wider_item", ValueKind::Signed, 1, "-1", 3, "FFFFFF"},
        EncodeCase{"float_one", ValueKind::Float, 4, "1.0", 4, "3F800000"},
        EncodeCase{"float_comma", ValueKind::Float, 4, "-1,5", 4, "BFC00000"},
        EncodeCase{"float_as_double", ValueKind::Float, 8, "1", 8, "3FF0000000000000"},
        EncodeCase{"string_padded", ValueKind::String, 8, "AB", 8, "4142202020202020"},
        EncodeCase{"string_cut", ValueKind::String, 2, "ABCD", 2, "4142"},
        EncodeCase{"packed_lower_case", ValueKind::PackedAscii, 6, "ab", 6, "042820820820"},
        EncodeCase{"packed_tag", ValueKind::PackedAscii, 6, "FV-2041", 6, "196B72C34C60"},
        EncodeCase{"bitmap_bits", ValueKind::Bitmap, 2, "1000000000000001", 2, "8001"},
        EncodeCase{"bitmap_number", ValueKind::Bitmap, 2, "0x0102", 2, "0102"},
        EncodeCase{"date_iso", ValueKind::Date, 3, "2024-03-12", 3, "0C037C"},
        EncodeCase{"date_dotted", ValueKind::Date, 3, "29.02.2000", 3, "1D0264"},
        EncodeCase{"date_us", ValueKind::Date, 3, "03/12/2024", 3, "0C037C"},
        EncodeCase{"time_has_no_bytes", ValueKind::Time, 0, "12:00", 2, "0000"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

struct DecodeCase {
    const char* name;
    ValueKind kind;
    std::size_t size;
    const char* wire;
    const char* display;
};

class SimulatorValueDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(SimulatorValueDecode, WireBytesDecodeToDisplayText) {
    const DecodeCase& c = GetParam();
    const ParameterInfo info = param(c.kind, c.size);
    const Value value =
        simulator::decodeValue(info, bytes(c.wire), simulator::zeroValue(info), kNoDescription);
    EXPECT_EQ(simulator::displayText(info, value, kNoDescription), c.display);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SimulatorValueDecode,
    ::testing::Values(DecodeCase{"signed16", ValueKind::Signed, 2, "FFFE", "-2"},
                      DecodeCase{"unsigned16", ValueKind::Unsigned, 2, "FFFE", "65534"},
                      DecodeCase{"signed8_min", ValueKind::Signed, 1, "80", "-128"},
                      DecodeCase{"unsigned32_max", ValueKind::Unsigned, 4, "FFFFFFFF",
                                 "4294967295"},
                      DecodeCase{"float", ValueKind::Float, 4, "41A00000", "20"},
                      DecodeCase{"double", ValueKind::Float, 8, "4004000000000000", "2.5"},
                      DecodeCase{"string_trimmed", ValueKind::String, 8, "2041422020202020", "AB"},
                      DecodeCase{"string_stops_at_nul", ValueKind::String, 4, "41004243", "A"},
                      DecodeCase{"packed", ValueKind::PackedAscii, 6, "042820820820", "AB"},
                      DecodeCase{"bitmap", ValueKind::Bitmap, 2, "8001", "1000000000000001"},
                      DecodeCase{"date", ValueKind::Date, 3, "0C037C", "2024-03-12"},
                      DecodeCase{"date_bad_day_month", ValueKind::Date, 3, "200D64", "2000-01-01"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

struct RefusedCase {
    ValueKind kind;
    std::size_t size;
    const char* display;
};

TEST(SimulatorValueCoding, DisplayTextsThatDoNotFitTheirTypeAreRefused) {
    const RefusedCase cases[] = {
        {ValueKind::Unsigned, 1, "300"},    {ValueKind::Unsigned, 2, "-1"},
        {ValueKind::Unsigned, 2, "5.5"},    {ValueKind::Unsigned, 2, "12a"},
        {ValueKind::Unsigned, 2, ""},       {ValueKind::Signed, 1, "128"},
        {ValueKind::Signed, 1, "-129"},     {ValueKind::Float, 4, "12a"},
        {ValueKind::Float, 4, "1e999"},     {ValueKind::Date, 3, "31.02.2001"},
        {ValueKind::Date, 3, "29.02.1900"}, {ValueKind::Date, 3, "2024-13-01"},
        {ValueKind::Bitmap, 1, "0x100"},    {ValueKind::Complex, 3, "1"},
    };
    for (const RefusedCase& c : cases) {
        EXPECT_FALSE(simulator::parseDisplayText(param(c.kind, c.size), c.display, kNoDescription))
            << c.display << " as size " << c.size;
    }
}

TEST(SimulatorValueCoding, PackedAsciiOfOddSizesStaysInsideItsBytes) {
    for (std::size_t n = 0; n <= 8; ++n) {
        const simulator::Bytes packed = simulator::packAscii("ABCDEFGHIJKL", n);
        ASSERT_EQ(packed.size(), n);
        const std::string back = simulator::unpackAscii(packed);
        EXPECT_EQ(back, std::string("ABCDEFGHIJKL").substr(0, n * 8 / 6)) << n;
    }
}

TEST(SimulatorValueCoding, PackedAsciiFoldsCharactersOutsideItsSet) {
    // '~' (0x7E) keeps its low six bits, 0x3E: '>'; lower case becomes capitals.
    EXPECT_EQ(simulator::unpackAscii(simulator::packAscii("a~b_", 3)), "A>B_");
}

TEST(SimulatorValueCoding, ShortWireInputKeepsTheOldValue) {
    const ParameterInfo info = param(ValueKind::Float, 4);
    const Value old = 3.0;
    EXPECT_EQ(simulator::numberOf(simulator::decodeValue(info, bytes("3F80"), old, kNoDescription)),
              3.0);
    const ParameterInfo date = param(ValueKind::Date, 3);
    const Value oldDate = simulator::Date{5, 6, 2007};
    EXPECT_EQ(simulator::decodeValue(date, bytes("0102"), oldDate, kNoDescription), oldDate);
}

TEST(SimulatorHexText, RoundTripAndRefusal) {
    EXPECT_EQ(simulator::toHexText(simulator::Bytes{0x00, 0xAB, 0x7f}), "00AB7F");
    EXPECT_EQ(simulator::fromHexText("00ab7F"), (simulator::Bytes{0x00, 0xAB, 0x7F}));
    EXPECT_EQ(simulator::fromHexText(""), simulator::Bytes{});
    EXPECT_FALSE(simulator::fromHexText("ABC"));
    EXPECT_FALSE(simulator::fromHexText("0G"));
}

}  // namespace
