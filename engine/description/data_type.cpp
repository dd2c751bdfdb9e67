#include "engine/description/data_type.h"

#include <array>
#include <utility>

namespace engine {
namespace {

struct TypeEntry {
    std::string_view name;
    ParameterKind kind;
    int width;
};

constexpr std::array kTypes{
    TypeEntry{"unsigned8", ParameterKind::UnsignedInteger, 1},
    TypeEntry{"unsigned16", ParameterKind::UnsignedInteger, 2},
    TypeEntry{"unsigned24", ParameterKind::UnsignedInteger, 3},
    TypeEntry{"unsigned32", ParameterKind::UnsignedInteger, 4},
    TypeEntry{"signed8", ParameterKind::SignedInteger, 1},
    TypeEntry{"signed16", ParameterKind::SignedInteger, 2},
    TypeEntry{"signed24", ParameterKind::SignedInteger, 3},
    TypeEntry{"signed32", ParameterKind::SignedInteger, 4},
    TypeEntry{"string", ParameterKind::String, 0},
    TypeEntry{"custom", ParameterKind::String, 0},
    TypeEntry{"octet_string", ParameterKind::String, 0},
    TypeEntry{"packed_ascii", ParameterKind::PackedAscii, 0},
    TypeEntry{"double", ParameterKind::FloatingPoint, 0},
    TypeEntry{"float", ParameterKind::FloatingPoint, 0},
    TypeEntry{"bitmap", ParameterKind::Bitmap, 0},
    TypeEntry{"complex", ParameterKind::Complex, 0},
    TypeEntry{"bit_range", ParameterKind::BitRange, 0},
    TypeEntry{"date", ParameterKind::Date, 0},
    TypeEntry{"time_date", ParameterKind::TimeAndDate, 0},
    TypeEntry{"time", ParameterKind::Time, 0},
    TypeEntry{"pointer", ParameterKind::Pointer, 0},
};

const TypeEntry* findType(std::string_view typeName) {
    for (const TypeEntry& entry : kTypes) {
        if (entry.name == typeName) return &entry;
    }
    return nullptr;
}

}  // namespace

std::optional<ParameterKind> kindForTypeName(std::string_view typeName) {
    const TypeEntry* entry = findType(typeName);
    if (entry == nullptr) return std::nullopt;
    return entry->kind;
}

int integerTypeWidth(std::string_view typeName) {
    const TypeEntry* entry = findType(typeName);
    return entry == nullptr ? 0 : entry->width;
}

}  // namespace engine
