#include "engine/description/data_type.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

TEST(DescriptionDataType, TypeNamesAndTheirKinds) {
    using K = ParameterKind;
    struct Case {
        const char* name;
        std::optional<ParameterKind> kind;
        int width;
    };
    const Case cases[] = {
        {"unsigned8", K::UnsignedInteger, 1}, {"unsigned16", K::UnsignedInteger, 2},
        {"unsigned24", K::UnsignedInteger, 3}, {"unsigned32", K::UnsignedInteger, 4},
        {"signed8", K::SignedInteger, 1},     {"signed32", K::SignedInteger, 4},
        {"string", K::String, 0},             {"custom", K::String, 0},
        {"octet_string", K::String, 0},       {"packed_ascii", K::PackedAscii, 0},
        {"double", K::FloatingPoint, 0},      {"float", K::FloatingPoint, 0},
        {"bitmap", K::Bitmap, 0},             {"complex", K::Complex, 0},
        {"bit_range", K::BitRange, 0},        {"date", K::Date, 0},
        {"time_date", K::TimeAndDate, 0},     {"time", K::Time, 0},
        {"pointer", K::Pointer, 0},           {"Float", std::nullopt, 0},
        {"unsigned64", std::nullopt, 0},      {"", std::nullopt, 0},
        {"array", std::nullopt, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kindForTypeName(c.name), c.kind) << c.name;
        EXPECT_EQ(integerTypeWidth(c.name), c.width) << c.name;
    }
}

}  // namespace
}  // namespace engine
