#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Command keys: a HART command number in the high 8 bits and an addressing
// index in the low 24 bits (command number * 16777216 + index modulo
// 16777216); the arithmetic wraps modulo 2^32. The command map holds indexes
// 0 to 255 only, so a key with a larger index names no command of the map:
// its request carries no data and its reply is not decoded.
namespace engine::communication {

using CommandKey = uint32_t;

inline constexpr uint32_t kCommandKeyFactor = 16777216u;

// The key of a command number and an addressing index.
constexpr CommandKey commandKey(uint32_t commandNumber, uint32_t index) {
    return commandNumber * kCommandKeyFactor + (index % kCommandKeyFactor);
}

// The HART command number that a key names.
constexpr uint32_t commandNumberOf(CommandKey key) {
    return key / kCommandKeyFactor;
}

// The key as a VT_I4 value: the same bit pattern, so keys of commands 128 to
// 255 are negative.
constexpr int32_t commandKeyAsInt32(CommandKey key) {
    return static_cast<int32_t>(key);
}

// The unsigned decimal text that a queued transaction keeps.
std::string formatCommandKey(CommandKey key);

// Reads leading blanks, an optional sign and the leading decimal digits;
// every digit wraps modulo 2^32 (never saturates), a "-" negates modulo 2^32,
// text after the digits is ignored and text without digits gives 0. The
// inverse of formatCommandKey for every key.
CommandKey parseCommandKey(std::string_view text);

}  // namespace engine::communication
