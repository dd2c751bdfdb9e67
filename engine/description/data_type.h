#pragma once

#include <optional>
#include <string_view>

namespace engine {

// The kinds of parameter object a description can ask for.
enum class ParameterKind {
    UnsignedInteger,
    SignedInteger,
    FloatingPoint,
    String,
    PackedAscii,
    Bitmap,
    Complex,
    BitRange,
    Date,
    Time,
    TimeAndDate,
    Pointer,
    Array,
};

// The kind for a description's "type_name", compared exactly; nullopt for a
// name the engine does not know. An array marker in the description overrides
// the type name and is the caller's business.
std::optional<ParameterKind> kindForTypeName(std::string_view typeName);

// Byte width implied by an integer type name ("unsigned16" gives 2); 0 for
// any other name.
int integerTypeWidth(std::string_view typeName);

}  // namespace engine
