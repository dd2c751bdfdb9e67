#pragma once
// GUIDs: compile-time literals, the registry text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}",
// the bare form without braces that invoke ids use, hashing and fresh version-4 values.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::array<std::uint8_t, 8> Data4{};

    friend constexpr bool operator==(const GUID&, const GUID&) = default;
    friend constexpr auto operator<=>(const GUID&, const GUID&) = default;
};

using IID = GUID;
using CLSID = GUID;
using REFIID = const GUID&;
using REFCLSID = const GUID&;
using REFGUID = const GUID&;

constexpr GUID GUID_NULL{};

namespace com {

namespace detail {
constexpr int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads 36 characters "8-4-4-4-12" starting at text[0]; false when malformed.
constexpr bool parseBare(std::string_view text, GUID& out) {
    if (text.size() != 36) return false;
    constexpr std::array<std::size_t, 4> dashes{8, 13, 18, 23};
    for (std::size_t d : dashes) {
        if (text[d] != '-') return false;
    }
    std::array<std::uint8_t, 16> bytes{};
    std::size_t b = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '-') {
            ++i;
            continue;
        }
        const int hi = hexValue(text[i]);
        const int lo = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
        if (hi < 0 || lo < 0 || b >= bytes.size()) return false;
        bytes[b++] = static_cast<std::uint8_t>(hi * 16 + lo);
        i += 2;
    }
    if (b != bytes.size()) return false;
    out.Data1 = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
                (std::uint32_t{bytes[2]} << 8) | bytes[3];
    out.Data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    out.Data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
    for (std::size_t i = 0; i < 8; ++i) out.Data4[i] = bytes[8 + i];
    return true;
}
}  // namespace detail

// Parses "{...}" or the bare 36-character form; nullopt when malformed.
constexpr std::optional<GUID> parseGuid(std::string_view text) {
    if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
    GUID g;
    if (!detail::parseBare(text, g)) return std::nullopt;
    return g;
}

// A GUID literal checked at compile time: makeGuid("8D96A00D-3623-451C-A11D-4B12BCD11232").
consteval GUID makeGuid(const char (&text)[37]) {
    GUID g;
    if (!detail::parseBare(std::string_view(text, 36), g)) throw "malformed GUID literal";
    return g;
}

// "{8D96A00D-3623-451C-A11D-4B12BCD11232}": upper-case hexadecimal with braces.
std::string formatGuid(const GUID& g);
// "8D96A00D-3623-451C-A11D-4B12BCD11232": the same without braces.
std::string formatGuidBare(const GUID& g);
// A fresh random (version 4, variant 1) GUID.
GUID newGuid();

struct GuidHash {
    std::size_t operator()(const GUID& g) const noexcept;
};

}  // namespace com

template <>
struct std::hash<GUID> : com::GuidHash {};
