#include "simulator/value_coding.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace simulator {
namespace {

std::string_view trimmed(std::string_view text) {
    const char* blanks = " \t\r\n";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::uint64_t readBigEndian(std::span<const std::uint8_t> bytes) {
    std::uint64_t value = 0;
    for (std::uint8_t b : bytes.last(std::min<std::size_t>(bytes.size(), 8)))
        value = (value << 8) | b;
    return value;
}

// Bits an integer of this parameter holds on the wire (1 to 64).
unsigned integerBits(const ParameterInfo& info) {
    return static_cast<unsigned>(std::clamp<std::size_t>(info.size, 1, 8) * 8);
}

std::int64_t signExtend(std::uint64_t raw, unsigned bits) {
    if (bits >= 64) return static_cast<std::int64_t>(raw);
    const std::uint64_t sign = std::uint64_t{1} << (bits - 1);
    const std::uint64_t mask = (std::uint64_t{1} << bits) - 1;
    raw &= mask;
    return static_cast<std::int64_t>((raw ^ sign) - sign);
}

Bytes encodeFloat(double value, std::size_t n) {
    Bytes out(n, 0);
    // HART's one NaN: 0x7FA00000 (0x7FF4000000000000 in double precision).
    if (std::isnan(value)) {
        const Bytes nan = n == 8 ? bigEndian(0x7FF4000000000000ull, 8) : bigEndian(0x7FA00000u, 4);
        std::copy_n(nan.begin(), std::min(n, nan.size()), out.begin());
        return out;
    }
    if (n == 8) {
        const Bytes wide = bigEndian(std::bit_cast<std::uint64_t>(value), 8);
        std::copy(wide.begin(), wide.end(), out.begin());
        return out;
    }
    const Bytes single = bigEndian(std::bit_cast<std::uint32_t>(static_cast<float>(value)), 4);
    std::copy_n(single.begin(), std::min<std::size_t>(n, 4), out.begin());
    return out;
}

Bytes encodeText(const std::string& text, std::size_t n) {
    Bytes out(n, 0x20);
    std::copy_n(text.begin(), std::min(n, text.size()), out.begin());
    return out;
}

std::string decodeText(std::span<const std::uint8_t> bytes) {
    std::string text(bytes.begin(), bytes.end());
    const auto nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    return std::string(trimmed(text));
}

// Bitmaps keep `size` bytes in wire order; a shorter or longer byte count on
// the wire lines up at the least significant end.
Bytes fitRight(std::span<const std::uint8_t> bytes, std::size_t n) {
    Bytes out(n, 0);
    const std::size_t take = std::min(n, bytes.size());
    std::copy(bytes.end() - static_cast<std::ptrdiff_t>(take), bytes.end(),
              out.end() - static_cast<std::ptrdiff_t>(take));
    return out;
}

Bytes encodeDate(const Date& date, std::size_t n) {
    const std::uint8_t raw[3] = {static_cast<std::uint8_t>(std::clamp(date.day, 0, 255)),
                                 static_cast<std::uint8_t>(std::clamp(date.month, 0, 255)),
                                 static_cast<std::uint8_t>(std::clamp(date.year - 1900, 0, 255))};
    Bytes out(n, 0);
    std::copy_n(raw, std::min<std::size_t>(n, 3), out.begin());
    return out;
}

Date decodeDate(std::span<const std::uint8_t> bytes) {
    Date date{bytes[0], bytes[1], 1900 + bytes[2]};
    if (date.day < 1 || date.day > 31) date.day = 1;
    if (date.month < 1 || date.month > 12) date.month = 1;
    return date;
}

bool validDate(int day, int month, int year) {
    if (month < 1 || month > 12 || year < 1900 || year > 2155 || day < 1) return false;
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= (month == 2 && !leap ? 28 : kDays[month - 1]);
}

std::optional<Date> parseDate(std::string_view text) {
    int a = 0, b = 0, c = 0;
    char tail = 0;
    const std::string s(text);
    if (std::sscanf(s.c_str(), "%d-%d-%d%c", &a, &b, &c, &tail) == 3 && validDate(c, b, a))
        return Date{c, b, a};
    if (std::sscanf(s.c_str(), "%d.%d.%d%c", &a, &b, &c, &tail) == 3 && validDate(a, b, c))
        return Date{a, b, c};
    if (std::sscanf(s.c_str(), "%d/%d/%d%c", &a, &b, &c, &tail) == 3 && validDate(b, a, c))
        return Date{b, a, c};
    return std::nullopt;
}

// A decimal integer (optionally with a fraction of zeros, "5.00") or "0x" hex.
std::optional<std::int64_t> parseInteger(std::string_view text) {
    text = trimmed(text);
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint64_t hex = 0;
        const auto [end, ec] = std::from_chars(text.data() + 2, text.data() + text.size(), hex, 16);
        if (ec != std::errc() || end != text.data() + text.size() || hex > std::uint64_t(INT64_MAX))
            return std::nullopt;
        return static_cast<std::int64_t>(hex);
    }
    const char* begin = text.data() + (text[0] == '+' ? 1 : 0);
    const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value);
    if (ec != std::errc()) return std::nullopt;
    std::string_view rest(end, static_cast<std::size_t>(text.data() + text.size() - end));
    if (!rest.empty()) {
        if (rest[0] != '.' || rest.find_first_not_of('0', 1) != std::string_view::npos)
            return std::nullopt;
    }
    return value;
}

std::optional<double> parseNumber(std::string_view text) {
    std::string s(trimmed(text));
    std::replace(s.begin(), s.end(), ',', '.');
    if (s.empty()) return std::nullopt;
    const char* begin = s.c_str() + (s[0] == '+' ? 1 : 0);
    double value = 0;
    const auto [end, ec] = std::from_chars(begin, s.c_str() + s.size(), value);
    if (ec != std::errc() || end != s.c_str() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<Value> parseInteger(const ParameterInfo& info, std::string_view text) {
    const auto value = parseInteger(text);
    if (!value) return std::nullopt;
    const unsigned bits = integerBits(info);
    if (info.kind == ValueKind::Unsigned) {
        if (*value < 0) return std::nullopt;
        if (bits < 64 && static_cast<std::uint64_t>(*value) >> bits) return std::nullopt;
    } else if (bits < 64) {
        const std::int64_t limit = std::int64_t{1} << (bits - 1);
        if (*value < -limit || *value >= limit) return std::nullopt;
    }
    return Value{*value};
}

// Bit k of the text is bit k % 8 of the k / 8-th byte counted from the least
// significant end, the form in which bitmaps are shown.
std::optional<Value> parseBitmap(const ParameterInfo& info, std::string_view text) {
    text = trimmed(text);
    Bytes bytes(info.size, 0);
    const bool bitString = info.size > 0 && text.size() == info.size * 8 &&
                           text.find_first_not_of("01") == std::string_view::npos;
    if (bitString) {
        for (std::size_t k = 0; k < text.size(); ++k) {
            if (text[k] == '1')
                bytes[info.size - 1 - k / 8] |= static_cast<std::uint8_t>(1u << (k % 8));
        }
        return Value{bytes};
    }
    const auto number = parseInteger(text);
    if (!number || *number < 0) return std::nullopt;
    if (info.size < 8 && static_cast<std::uint64_t>(*number) >> (info.size * 8))
        return std::nullopt;
    return Value{bigEndian(static_cast<std::uint64_t>(*number), info.size)};
}

std::string formatNumber(double value) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

}  // namespace

Bytes bigEndian(std::uint64_t value, std::size_t n) {
    Bytes out(n, 0);
    for (std::size_t i = 0; i < n && i < 8; ++i) {
        out[n - 1 - i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    return out;
}

std::int64_t integerOf(const Value& value) {
    if (const auto* i = std::get_if<std::int64_t>(&value)) return *i;
    if (const auto* d = std::get_if<double>(&value)) {
        if (!std::isfinite(*d)) return 0;
        return static_cast<std::int64_t>(std::clamp(*d, -9.0e18, 9.0e18));
    }
    if (const auto* b = std::get_if<Bytes>(&value))
        return static_cast<std::int64_t>(readBigEndian(*b));
    return 0;
}

double numberOf(const Value& value) {
    if (const auto* d = std::get_if<double>(&value)) return *d;
    return static_cast<double>(integerOf(value));
}

bool isPackedAsciiText(std::string_view text) {
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c)));
        if (code < 0x20 || code > 0x5F) return false;
    }
    return true;
}

Bytes packAscii(std::string_view text, std::size_t n) {
    Bytes out(n, 0);
    const std::size_t chars = (n * 4 + 2) / 3;
    for (std::size_t k = 0; k < chars; ++k) {
        unsigned char c = k < text.size() ? static_cast<unsigned char>(text[k]) : ' ';
        c = static_cast<unsigned char>(std::toupper(c));
        const unsigned code = c & 0x3Fu;
        // Character k occupies bits [6k, 6k + 6) counted from the first byte's top bit.
        for (unsigned bit = 0; bit < 6; ++bit) {
            const std::size_t pos = k * 6 + bit;
            if (pos / 8 >= n) break;
            if (code & (0x20u >> bit))
                out[pos / 8] |= static_cast<std::uint8_t>(0x80u >> (pos % 8));
        }
    }
    return out;
}

std::string unpackAscii(std::span<const std::uint8_t> bytes) {
    std::string text;
    const std::size_t chars = bytes.size() * 8 / 6;
    for (std::size_t k = 0; k < chars; ++k) {
        unsigned code = 0;
        for (unsigned bit = 0; bit < 6; ++bit) {
            const std::size_t pos = k * 6 + bit;
            code = (code << 1) | ((bytes[pos / 8] >> (7 - pos % 8)) & 1u);
        }
        text.push_back(static_cast<char>(code < 32 ? code + 64 : code));
    }
    return std::string(trimmed(text));
}

Value zeroValue(const ParameterInfo& info) {
    switch (info.kind) {
        case ValueKind::Unsigned:
        case ValueKind::Signed:
        case ValueKind::Pointer:
            return std::int64_t{0};
        case ValueKind::Float:
            return 0.0;
        case ValueKind::String:
        case ValueKind::PackedAscii:
        case ValueKind::Time:
        case ValueKind::TimeDate:
            return std::string();
        case ValueKind::Bitmap:
            return Bytes(info.size, 0);
        case ValueKind::Date:
            return Date{};
        case ValueKind::Complex:
        case ValueKind::Array:
            // Without components a composite is an opaque run of bytes.
            return info.components.empty() ? Value{Bytes(info.size, 0)} : Value{};
        case ValueKind::BitRange:
            return {};
    }
    return {};
}

Bytes encodeValue(const ParameterInfo& info, const Value& value, std::size_t n,
                  const DeviceDescription& description) {
    switch (info.kind) {
        case ValueKind::Unsigned:
        case ValueKind::Signed:
        case ValueKind::BitRange: {
            const std::int64_t number = integerOf(value);
            Bytes out = bigEndian(static_cast<std::uint64_t>(number), n);
            if (number < 0)
                std::fill(out.begin(),
                          out.end() - static_cast<std::ptrdiff_t>(std::min<std::size_t>(n, 8)),
                          0xFF);
            return out;
        }
        case ValueKind::Float:
            return encodeFloat(numberOf(value), n);
        case ValueKind::String:
            return encodeText(std::holds_alternative<std::string>(value)
                                  ? std::get<std::string>(value)
                                  : std::string(),
                              n);
        case ValueKind::PackedAscii:
            return packAscii(std::holds_alternative<std::string>(value)
                                 ? std::get<std::string>(value)
                                 : std::string(),
                             n);
        case ValueKind::Bitmap:
        case ValueKind::Complex:
        case ValueKind::Array:
            return std::holds_alternative<Bytes>(value) ? fitRight(std::get<Bytes>(value), n)
                                                        : Bytes(n, 0);
        case ValueKind::Date:
            return encodeDate(std::holds_alternative<Date>(value) ? std::get<Date>(value) : Date{},
                              n);
        case ValueKind::Pointer: {
            const ParameterInfo* target =
                description.parameter(static_cast<ReferenceId>(integerOf(value)));
            const int code = target != nullptr && target->codeHart ? *target->codeHart : 0;
            return bigEndian(static_cast<std::uint64_t>(code), n);
        }
        case ValueKind::Time:
        case ValueKind::TimeDate:
            return Bytes(n, 0);
    }
    return Bytes(n, 0);
}

Value decodeValue(const ParameterInfo& info, std::span<const std::uint8_t> bytes, const Value& old,
                  const DeviceDescription& description) {
    switch (info.kind) {
        case ValueKind::Unsigned:
            if (bytes.empty()) return old;
            return static_cast<std::int64_t>(readBigEndian(bytes) &
                                             (bytes.size() >= 8
                                                  ? ~std::uint64_t{0}
                                                  : (std::uint64_t{1} << (8 * bytes.size())) - 1));
        case ValueKind::Signed:
            if (bytes.empty()) return old;
            return signExtend(readBigEndian(bytes),
                              static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 8) * 8));
        case ValueKind::BitRange:
            if (bytes.empty()) return old;
            return static_cast<std::int64_t>(readBigEndian(bytes));
        case ValueKind::Float:
            if (bytes.size() == 8) return std::bit_cast<double>(readBigEndian(bytes));
            if (bytes.size() >= 4) {
                return static_cast<double>(std::bit_cast<float>(
                    static_cast<std::uint32_t>(readBigEndian(bytes.first(4)))));
            }
            return old;
        case ValueKind::String:
            return decodeText(bytes);
        case ValueKind::PackedAscii:
            return unpackAscii(bytes);
        case ValueKind::Bitmap:
        case ValueKind::Complex:
        case ValueKind::Array:
            return fitRight(bytes, info.size);
        case ValueKind::Date:
            return bytes.size() >= 3 ? Value{decodeDate(bytes)} : old;
        case ValueKind::Pointer: {
            if (bytes.empty()) return old;
            const auto target =
                description.parameterWithCode(static_cast<int>(readBigEndian(bytes) & 0x7fffffff));
            return target ? Value{static_cast<std::int64_t>(*target)} : old;
        }
        case ValueKind::Time:
        case ValueKind::TimeDate:
            return old;
    }
    return old;
}

std::optional<Value> parseDisplayText(const ParameterInfo& info, std::string_view text,
                                      const DeviceDescription& description) {
    switch (info.kind) {
        case ValueKind::Unsigned:
        case ValueKind::Signed:
            return parseInteger(info, text);
        case ValueKind::BitRange: {
            const auto value = parseInteger(text);
            const int width = info.bitHigh - info.bitLow + 1;
            if (!value || *value < 0 || (width < 63 && *value >> width)) return std::nullopt;
            return Value{*value};
        }
        case ValueKind::Float: {
            const auto value = parseNumber(text);
            return value ? std::optional<Value>(*value) : std::nullopt;
        }
        case ValueKind::PackedAscii:
            if (!isPackedAsciiText(text)) return std::nullopt;
            return Value{std::string(text)};
        case ValueKind::String:
        case ValueKind::Time:
        case ValueKind::TimeDate:
            return Value{std::string(text)};
        case ValueKind::Bitmap:
            return parseBitmap(info, text);
        case ValueKind::Date: {
            const auto date = parseDate(trimmed(text));
            return date ? std::optional<Value>(*date) : std::nullopt;
        }
        case ValueKind::Pointer: {
            const auto code = parseInteger(text);
            if (!code || *code < 0 || *code > 255) return std::nullopt;
            const auto target = description.parameterWithCode(static_cast<int>(*code));
            return target ? std::optional<Value>(static_cast<std::int64_t>(*target)) : std::nullopt;
        }
        case ValueKind::Complex:
        case ValueKind::Array:
            return std::nullopt;
    }
    return std::nullopt;
}

std::string displayText(const ParameterInfo& info, const Value& value,
                        const DeviceDescription& description) {
    switch (info.kind) {
        case ValueKind::Unsigned:
        case ValueKind::Signed:
        case ValueKind::BitRange:
            return std::to_string(integerOf(value));
        case ValueKind::Float:
            return formatNumber(numberOf(value));
        case ValueKind::String:
        case ValueKind::PackedAscii:
        case ValueKind::Time:
        case ValueKind::TimeDate:
            return std::holds_alternative<std::string>(value) ? std::get<std::string>(value)
                                                              : std::string();
        case ValueKind::Bitmap: {
            std::string bits;
            if (const auto* bytes = std::get_if<Bytes>(&value)) {
                for (std::size_t k = 0; k < bytes->size() * 8; ++k) {
                    bits.push_back(((*bytes)[bytes->size() - 1 - k / 8] >> (k % 8)) & 1u ? '1'
                                                                                         : '0');
                }
            }
            return bits;
        }
        case ValueKind::Date: {
            const Date date = std::holds_alternative<Date>(value) ? std::get<Date>(value) : Date{};
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.year, date.month, date.day);
            return buffer;
        }
        case ValueKind::Pointer: {
            const ParameterInfo* target =
                description.parameter(static_cast<ReferenceId>(integerOf(value)));
            return target != nullptr && target->codeHart ? std::to_string(*target->codeHart)
                                                         : std::string();
        }
        case ValueKind::Complex:
        case ValueKind::Array:
            return {};
    }
    return {};
}

}  // namespace simulator
