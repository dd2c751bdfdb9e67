#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "simulator/device_description.h"

// The device side of the HART value coding: how each data type of the
// description is held in device memory and written to, and read from, the
// data bytes of a HART frame. Multi-byte numbers travel most significant byte
// first.
namespace simulator {

using Bytes = std::vector<std::uint8_t>;

struct Date {
    int day = 1;
    int month = 1;
    int year = 1900;
    friend bool operator==(const Date&, const Date&) = default;
};

// What a parameter holds: integers and pointers (the designated parameter's
// reference id) an int64, floats a double, texts a string, bitmaps their bytes
// in wire order, dates a Date. Composites and bit ranges hold nothing of
// their own (monostate); their bytes come from their components or parent.
using Value = std::variant<std::monostate, std::int64_t, double, std::string, Bytes, Date>;

// The value a parameter holds before any default or profile is applied.
Value zeroValue(const ParameterInfo& info);

// Exactly `n` bytes for a value of a non-composite kind. Numbers wider than
// `n` bytes keep their low-order bytes; texts are padded with blanks; a float
// takes 8 bytes as a double, otherwise the bytes of a single.
Bytes encodeValue(const ParameterInfo& info, const Value& value, std::size_t n,
                  const DeviceDescription& description);

// The value that `bytes` carry for a non-composite kind; `old` stays where the
// bytes cannot be read (too few, a pointer code that designates nothing).
Value decodeValue(const ParameterInfo& info, std::span<const std::uint8_t> bytes, const Value& old,
                  const DeviceDescription& description);

// The value of a display text (the form profiles and defaults use), or nullopt
// when the text does not fit the type: not a number, outside the type's
// range, not a date.
std::optional<Value> parseDisplayText(const ParameterInfo& info, std::string_view text,
                                      const DeviceDescription& description);

std::string displayText(const ParameterInfo& info, const Value& value,
                        const DeviceDescription& description);

// HART packed ASCII: four 6-bit characters in three bytes, the first in the
// high bits; lower-case letters are sent as capitals and characters past the
// text as blanks. Exactly `n` bytes.
Bytes packAscii(std::string_view text, std::size_t n);
// Whether every character is in the packed-ASCII set: blank to underscore
// (0x20 to 0x5F), lower-case letters counting as upper-case ones. Text with
// any other character is refused, as the engine refuses it.
bool isPackedAsciiText(std::string_view text);
// Codes below 32 stand for 64 + code; the result is trimmed of blanks.
std::string unpackAscii(std::span<const std::uint8_t> bytes);

// The low `n` bytes of `value`, most significant first.
Bytes bigEndian(std::uint64_t value, std::size_t n);

// The number held by an integer-like value (int64 or double, truncated); 0 otherwise.
std::int64_t integerOf(const Value& value);
// The number held by a numeric value; 0 otherwise.
double numberOf(const Value& value);

}  // namespace simulator
