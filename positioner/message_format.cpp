#include "positioner/message_format.h"

#include <cstdio>
#include <optional>
#include <variant>

namespace positioner {

namespace {

constexpr std::size_t kMaxFieldDigits = 3;

// One conversion specification "%[flags][width][.precision][l]conversion".
struct Conversion {
    std::size_t length = 0;  // characters from the '%' up to and including the conversion
    std::string flags;
    std::string width;
    std::optional<std::string> precision;
    char conversion = 0;
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view takeDigits(std::string_view text, std::size_t& pos) {
    const std::size_t start = pos;
    while (pos < text.size() && isDigit(text[pos])) ++pos;
    return text.substr(start, pos - start);
}

// The conversion that starts at format[pos] == '%'; nullopt when none can be read.
std::optional<Conversion> readConversion(std::string_view format, std::size_t pos) {
    Conversion c;
    std::size_t i = pos + 1;
    while (i < format.size() &&
           std::string_view("-+ #0").find(format[i]) != std::string_view::npos) {
        c.flags += format[i++];
    }
    c.width = takeDigits(format, i);
    if (c.width.size() > kMaxFieldDigits) return std::nullopt;
    if (i < format.size() && format[i] == '.') {
        ++i;
        c.precision = std::string(takeDigits(format, i));
        if (c.precision->size() > kMaxFieldDigits) return std::nullopt;
    }
    if (i < format.size() && format[i] == 'l') ++i;
    if (i >= format.size()) return std::nullopt;
    c.conversion = format[i];
    c.length = i + 1 - pos;
    return c;
}

bool isNumberConversion(char c) {
    return std::string_view("fFeEgG").find(c) != std::string_view::npos;
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

std::string fillText(const Conversion& c, std::string_view argument) {
    std::string value(argument);
    if (c.precision) value = cutToCharacters(std::move(value), std::stoul("0" + *c.precision));
    const std::size_t width = c.width.empty() ? 0 : std::stoul(c.width);
    const std::size_t length = characterCount(value);
    if (length >= width) return value;
    const std::string padding(width - length, ' ');
    return c.flags.find('-') != std::string::npos ? value + padding : padding + value;
}

std::string fillNumber(const Conversion& c, double argument) {
    std::string spec = "%" + c.flags + c.width;
    if (c.precision) spec += "." + *c.precision;
    spec += c.conversion;
    const int size = std::snprintf(nullptr, 0, spec.c_str(), argument);
    if (size <= 0) return {};
    std::string out(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(out.data(), out.size(), spec.c_str(), argument);
    out.resize(static_cast<std::size_t>(size));
    return out;
}

using Argument = std::variant<std::string_view, double>;

std::string formatOne(std::string_view format, const Argument& argument) {
    std::string out;
    bool filled = false;
    std::size_t pos = 0;
    while (pos < format.size()) {
        const std::size_t percent = format.find('%', pos);
        out.append(format.substr(pos, percent - pos));
        if (percent == std::string_view::npos) break;
        if (percent + 1 < format.size() && format[percent + 1] == '%') {
            out += '%';
            pos = percent + 2;
            continue;
        }
        const std::optional<Conversion> c = readConversion(format, percent);
        if (!c) {
            out += '%';
            pos = percent + 1;
            continue;
        }
        const bool fits = std::holds_alternative<double>(argument)
                              ? isNumberConversion(c->conversion)
                              : c->conversion == 's';
        if (fits && !filled) {
            out += std::holds_alternative<double>(argument)
                       ? fillNumber(*c, std::get<double>(argument))
                       : fillText(*c, std::get<std::string_view>(argument));
            filled = true;
        } else {
            out.append(format.substr(percent, c->length));
        }
        pos = percent + c->length;
    }
    return out;
}

}  // namespace

std::string formatWithText(std::string_view format, std::string_view argument) {
    return formatOne(format, Argument(argument));
}

std::string formatWithNumber(std::string_view format, double argument) {
    return formatOne(format, Argument(argument));
}

std::string cutToCharacters(std::string text, std::size_t maxCharacters) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (count == maxCharacters) {
            text.resize(i);
            break;
        }
        ++count;
    }
    return text;
}

}  // namespace positioner
