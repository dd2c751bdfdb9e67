#include "engine/parameters/value_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace engine::value_text {
namespace {

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int hexValue(char c) {
    if (isDigit(c)) return c - '0';
    return (c | 0x20) - 'a' + 10;
}

// Digits, then an optional "." followed by zeros only: a whole number.
std::optional<uint64_t> parseWholeDigits(std::string_view digits) {
    const size_t dot = digits.find('.');
    const std::string_view whole = digits.substr(0, dot);
    if (whole.empty() || whole.size() > 20) return std::nullopt;
    if (dot != std::string_view::npos) {
        const std::string_view fraction = digits.substr(dot + 1);
        if (!std::all_of(fraction.begin(), fraction.end(), [](char c) { return c == '0'; })) {
            return std::nullopt;
        }
    }
    uint64_t value = 0;
    const auto [end, ec] = std::from_chars(whole.data(), whole.data() + whole.size(), value);
    if (ec != std::errc() || end != whole.data() + whole.size()) return std::nullopt;
    return value;
}

}  // namespace

void Scanner::skipSpace() {
    while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
}

bool Scanner::readDouble(double& out) {
    skipSpace();
    size_t start = pos_;
    if (start < text_.size() && text_[start] == '+') {
        ++start;
        if (start < text_.size() && text_[start] == '-') return false;
    }
    double value = 0;
    const char* first = text_.data() + start;
    const char* last = text_.data() + text_.size();
    const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (end == first) return false;
    if (ec == std::errc::result_out_of_range) {
        // As scanf: too large reads as an infinity, too small as 0.
        const std::string_view number(first, static_cast<size_t>(end - first));
        const size_t exponent = number.find_first_of("eE");
        const std::string_view mantissa = number.substr(0, exponent);
        const bool tiny =
            exponent != std::string_view::npos
                ? exponent + 1 < number.size() && number[exponent + 1] == '-'
                : mantissa.substr(0, mantissa.find('.')).find_first_not_of("+-0") ==
                      std::string_view::npos;
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        if (*first == '-') value = -value;
    } else if (ec != std::errc()) {
        return false;
    }
    out = value;
    pos_ = static_cast<size_t>(end - text_.data());
    return true;
}

bool Scanner::readLong(int64_t& out) {
    skipSpace();
    size_t p = pos_;
    bool negative = false;
    if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) {
        negative = text_[p] == '-';
        ++p;
    }
    if (p >= text_.size() || !isDigit(text_[p])) return false;
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    int64_t value = 0;
    bool saturated = false;
    for (; p < text_.size() && isDigit(text_[p]); ++p) {
        const int digit = text_[p] - '0';
        if (value > (kMax - digit) / 10) saturated = true;
        if (!saturated) value = value * 10 + digit;
    }
    if (saturated) value = kMax;
    out = negative ? -value : value;
    pos_ = p;
    return true;
}

bool Scanner::readHex(uint64_t& out) {
    skipSpace();
    size_t p = pos_;
    if (p + 2 < text_.size() && text_[p] == '0' && (text_[p + 1] | 0x20) == 'x' &&
        isHexDigit(text_[p + 2])) {
        p += 2;
    }
    if (p >= text_.size() || !isHexDigit(text_[p])) return false;
    uint64_t value = 0;
    for (; p < text_.size() && isHexDigit(text_[p]); ++p) {
        if (value <= (std::numeric_limits<uint64_t>::max() >> 4)) {
            value = (value << 4) | static_cast<uint64_t>(hexValue(text_[p]));
        } else {
            value = std::numeric_limits<uint64_t>::max();
        }
    }
    out = value;
    pos_ = p;
    return true;
}

bool Scanner::match(std::string_view pattern) {
    for (char c : pattern) {
        if (isSpace(c)) {
            skipSpace();
        } else if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
        } else {
            return false;
        }
    }
    return true;
}

bool Scanner::readWord(std::string& out) {
    skipSpace();
    const size_t start = pos_;
    while (pos_ < text_.size() && !isSpace(text_[pos_])) ++pos_;
    if (pos_ == start) return false;
    out.assign(text_.substr(start, pos_ - start));
    return true;
}

std::vector<std::string_view> splitPieces(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find_first_of(separators, start);
        const size_t stop = end == std::string_view::npos ? text.size() : end;
        if (stop > start) pieces.push_back(text.substr(start, stop - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return pieces;
}

std::string formatFixed(double value, int decimals) {
    if (std::isinf(value)) return value < 0 ? "-#INF" : "#INF";
    // Large enough for the widest double in fixed notation.
    std::array<char, 400> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                         std::chars_format::fixed, decimals);
    if (ec != std::errc()) return {};
    return std::string(buffer.data(), end);
}

std::optional<double> parseUserFloating(std::string_view text) {
    if (text.find('#') != std::string_view::npos) {
        const bool negative = text.find("-#INF") != std::string_view::npos;
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    }
    constexpr std::string_view kNumberChars = ".,-+0123456789";
    if (text.find_first_not_of(kNumberChars) != std::string_view::npos) return std::nullopt;
    std::string normalized(text);
    if (std::count(normalized.begin(), normalized.end(), ',') == 1 &&
        normalized.find('.') == std::string::npos) {
        std::replace(normalized.begin(), normalized.end(), ',', '.');
    }
    Scanner scanner(normalized);
    double value = 0;
    if (!scanner.readDouble(value)) value = 0;
    return value;
}

std::optional<uint32_t> parseUserUnsigned(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::string_view digits = text.substr(2);
        if (!std::all_of(digits.begin(), digits.end(), isHexDigit)) return std::nullopt;
        digits.remove_prefix(std::min(digits.size(), digits.find_first_not_of('0')));
        if (digits.size() > 8) return std::nullopt;
        uint32_t value = 0;
        for (char c : digits) value = (value << 4) | static_cast<uint32_t>(hexValue(c));
        return value;
    }
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    const std::optional<uint64_t> value = parseWholeDigits(digits);
    if (!value || *value > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    return static_cast<uint32_t>(*value);
}

std::optional<int32_t> parseUserSigned(std::string_view text) {
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    const std::optional<uint64_t> magnitude = parseWholeDigits(digits);
    if (!magnitude) return std::nullopt;
    const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
    if (*magnitude > limit) return std::nullopt;
    const int64_t value = negative ? -static_cast<int64_t>(*magnitude)
                                   : static_cast<int64_t>(*magnitude);
    return static_cast<int32_t>(value);
}

bool floatingInRange(double value, std::string_view range) {
    bool anyPiece = false;
    for (std::string_view piece : splitPieces(range, "[]")) {
        double lo = 0;
        double hi = 2146435071.0;
        Scanner span(piece);
        if (!span.readDouble(lo)) continue;  // a separator, not an entry
        anyPiece = true;
        if (span.match(" to ")) span.readDouble(hi);
        Scanner entry(piece);
        double single = 0;
        std::string label;
        if (entry.readDouble(single) && entry.match("=") && entry.readWord(label)) {
            lo = single;
            hi = single;
        }
        if (lo <= hi && lo <= value && value <= hi) return true;
    }
    return !anyPiece;
}

IntegerRangeCheck checkIntegerRange(int64_t value, std::string_view range) {
    bool anyAccept = false;
    bool anyRefuse = false;
    IntegerRangeCheck check;
    for (std::string_view piece : splitPieces(range, ",")) {
        Scanner scanner(piece);
        scanner.skipSpace();
        int64_t lo = 0;
        int64_t hi = 0;
        const bool both = scanner.match("[") && scanner.readLong(lo) && scanner.match(" to ") &&
                          scanner.readLong(hi);
        if (!both) {
            anyAccept = true;
            continue;
        }
        if (lo >= hi) continue;
        if (value < lo) {
            anyRefuse = true;
            check.clamp = lo;
        } else if (value > hi) {
            anyRefuse = true;
            check.clamp = hi;
        } else {
            anyAccept = true;
        }
    }
    check.accepted = anyAccept || !anyRefuse;
    return check;
}

std::string lookUpUnitCode(std::string_view unit, std::string_view range) {
    std::string result(unit);
    std::optional<int64_t> code;
    {
        Scanner scanner(unit);
        int64_t number = 0;
        uint64_t hex = 0;
        Scanner hexScanner(unit);
        if (hexScanner.match(" 0x") && hexScanner.readHex(hex)) {
            code = static_cast<int64_t>(hex);
        } else if (scanner.readLong(number)) {
            code = number;
        }
    }
    if (code) {
        for (std::string_view piece : splitPieces(range, "{}")) {
            Scanner decimal(piece);
            Scanner hexadecimal(piece);
            int64_t number = 0;
            uint64_t hex = 0;
            std::string_view text;
            if (decimal.readLong(number) && decimal.match(",")) {
                decimal.skipSpace();
                text = decimal.rest();
            } else if (hexadecimal.match(" 0x") && hexadecimal.readHex(hex) &&
                       hexadecimal.match(",")) {
                number = static_cast<int64_t>(hex);
                hexadecimal.skipSpace();
                text = hexadecimal.rest();
            } else {
                continue;
            }
            if (!text.empty() && number == *code) result.assign(text);
        }
    }
    result.erase(std::remove_if(result.begin(), result.end(),
                                [](char c) { return c == '"' || c == '[' || c == ']'; }),
                 result.end());
    return result;
}

int limitDecimals(double x) {
    if (x == 0) return 0;
    if (std::fabs(x) >= 1) {
        if (std::fabs(std::fmod(x, 1.0)) < 0.1) return 0;
        if (std::fabs(std::fmod(x, 0.1)) < 0.01) return 1;
        if (std::fabs(std::fmod(x, 0.01)) < 0.001) return 2;
        return 3;
    }
    if (std::fabs(std::fmod(x, 0.01)) > 0.0005) return 3;
    if (std::fabs(std::fmod(x, 0.1)) > 0.005) return 2;
    if (std::fabs(x) <= 0.05) return 3;
    return 1;
}

}  // namespace engine::value_text
