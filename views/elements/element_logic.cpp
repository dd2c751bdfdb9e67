#include "views/elements/element_logic.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <cstring>

namespace views::elements {
namespace {

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// Splits at any of the separators; empty pieces are dropped.
std::vector<std::string_view> splitAny(std::string_view text,
                                       std::initializer_list<std::string_view> separators) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t matched = 0;
        for (std::string_view separator : separators) {
            if (text.substr(i).starts_with(separator)) {
                matched = separator.size();
                break;
            }
        }
        if (matched == 0) {
            ++i;
            continue;
        }
        if (i > start) pieces.push_back(text.substr(start, i - start));
        i += matched;
        start = i;
    }
    if (start < text.size()) pieces.push_back(text.substr(start));
    return pieces;
}

// The one numeric conversion of a format: where it starts and ends, and its letter.
struct Conversion {
    std::size_t begin = 0;
    std::size_t end = 0;
    char letter = 0;
};

std::optional<Conversion> soleConversion(std::string_view format) {
    std::optional<Conversion> found;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        if (i + 1 < format.size() && format[i + 1] == '%') {
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < format.size() && std::strchr("-+ #0", format[j])) ++j;
        while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j]))) ++j;
        if (j < format.size() && format[j] == '.') {
            ++j;
            while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j]))) ++j;
        }
        if (j >= format.size() || !std::strchr("feEgGdi", format[j]) || found) return std::nullopt;
        found = Conversion{i, j + 1, format[j]};
        i = j;
    }
    return found;
}

}  // namespace

Rect anchoredRect(const Rect& design, const Anchor& anchor, Size designParent, Size parent) {
    const int dW = parent.width - designParent.width;
    const int dH = parent.height - designParent.height;
    Rect r{design.left + dW * anchor.left / 100, design.top + dH * anchor.top / 100,
           design.right + dW * anchor.right / 100, design.bottom + dH * anchor.bottom / 100};
    r.left = std::max(r.left, design.left);
    r.top = std::max(r.top, design.top);
    r.right = std::max(r.right, design.right);
    r.bottom = std::max(r.bottom, design.bottom);
    return r;
}

double scalingFactor(std::string_view scalingText) {
    const double factor = leadingNumber(scalingText);
    return factor == 0.0 ? 1.0 : factor;
}

double leadingNumber(std::string_view text) {
    const std::string copy(text);
    return std::strtod(copy.c_str(), nullptr);
}

long leadingInteger(std::string_view text) {
    const std::string copy(text);
    return std::strtol(copy.c_str(), nullptr, 10);
}

std::string formatNumber(std::string_view format, double value) {
    char buffer[257];
    const std::optional<Conversion> conversion = soleConversion(format);
    if (!conversion) {
        std::snprintf(buffer, sizeof buffer, "%g", value);
        return buffer;
    }
    const std::string checked(format);
    if (conversion->letter == 'd' || conversion->letter == 'i') {
        std::string asLong = checked.substr(0, conversion->end - 1) + "l" +
                             checked.substr(conversion->end - 1);
        std::snprintf(buffer, sizeof buffer, asLong.c_str(), static_cast<long>(value));
    } else {
        std::snprintf(buffer, sizeof buffer, checked.c_str(), value);
    }
    return buffer;
}

std::string scaledText(std::string_view format, double value, double scaling,
                       std::string_view unit) {
    std::string text = formatNumber(format, value * scaling);
    text += ' ';
    text += unit;
    return text.substr(0, 256);
}

std::pair<double, double> rangeBounds(std::string_view range) {
    float low = 0, high = 0;
    const std::string copy(range);
    if (std::sscanf(copy.c_str(), "[%f to %f]", &low, &high) != 2) return {0.0, 0.0};
    return {low, high};
}

std::vector<double> rangeNumbers(std::string_view range) {
    std::vector<double> numbers;
    for (std::string_view piece : splitAny(range, {"[", "]", ",", " to "})) {
        const std::string copy(trimmed(piece));
        char* end = nullptr;
        const double number = std::strtod(copy.c_str(), &end);
        if (end != copy.c_str()) numbers.push_back(number);
    }
    return numbers;
}

std::string literalAmpersands(std::string_view text) {
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '&') out += '&';
    }
    return out;
}

GaugeScale gaugeScale(long minimum, long maximum) {
    GaugeScale scale;
    scale.shift = -static_cast<double>(minimum);
    scale.span = maximum - minimum > 0 ? static_cast<double>(maximum - minimum) : 100.0;
    while (scale.span * scale.factor < 1000) scale.factor *= 10;
    while (scale.span * scale.factor > 65000) scale.factor *= 0.1;
    return scale;
}

bool conditionHolds(std::string_view valueText, std::string_view condition) {
    if (valueText == condition) return true;
    const long n = leadingInteger(valueText);
    struct Form {
        std::string_view prefix;
        bool (*test)(long, long);
    };
    static constexpr Form kForms[] = {
        {">", [](long v, long c) { return v > c; }},   {"<", [](long v, long c) { return v < c; }},
        {"=", [](long v, long c) { return v == c; }},  {"!=", [](long v, long c) { return v != c; }},
        {">=", [](long v, long c) { return v >= c; }}, {"<=", [](long v, long c) { return v <= c; }},
    };
    for (const Form& form : kForms) {
        if (!condition.starts_with(form.prefix)) continue;
        const std::string number(condition.substr(form.prefix.size()));
        char* end = nullptr;
        const long c = std::strtol(number.c_str(), &end, 10);
        if (end == number.c_str()) continue;  // ">=5" is not ">" followed by a number
        return form.test(n, c);
    }
    return false;
}

std::string entryLabel(std::string_view range, std::string_view valueText) {
    for (std::string_view entry : splitAny(range, {"[", "]"})) {
        const std::size_t eq = entry.rfind('=');
        if (eq == std::string_view::npos) continue;
        if (trimmed(entry.substr(0, eq)) == trimmed(valueText))
            return std::string(entry.substr(eq + 1));
    }
    return {};
}

bool faultRowBefore(const FaultRowKey& a, const FaultRowKey& b) {
    if (a.valueText != b.valueText) return a.valueText > b.valueText;
    return a.translatedName < b.translatedName;
}

std::optional<double> typedNumber(std::string_view text, std::string_view unit) {
    if (!unit.empty()) {
        if (const std::size_t at = text.find(unit); at != std::string_view::npos)
            text = text.substr(0, at);
    }
    text = trimmed(text);
    if (text.empty()) return std::nullopt;
    int points = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!std::strchr(".-+0123456789", c)) return std::nullopt;
        if (c == '.' && ++points > 1) return std::nullopt;
        if ((c == '+' || c == '-') && i != 0) return std::nullopt;
    }
    const std::string copy(text);
    char* end = nullptr;
    const double number = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size()) return std::nullopt;
    return number;
}

std::string numericCommitText(double typed, std::string_view scalingText, bool noScaling) {
    const double scaling = leadingNumber(scalingText);
    double written = typed;
    if (!noScaling) written /= scaling == 0.0 ? 1.0 : scaling;
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, scaling != 0.0 && scaling != 1.0 ? "%1.0f" : "%1.6f",
                  written);
    return buffer;
}

std::string binaryDigits(long value) {
    auto bits = static_cast<std::uint32_t>(value);
    if (bits == 0) return "0";
    std::string digits;
    while (bits) {
        digits.insert(digits.begin(), (bits & 1u) ? '1' : '0');
        bits >>= 1;
    }
    return digits;
}

std::optional<std::string> fromBinaryDigits(std::string_view digits) {
    if (digits.empty() || digits.size() > 32) return std::nullopt;
    std::uint32_t value = 0;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (digits[i] == '1') {
            value |= 1u << (n - i - 1);
        } else if (digits[i] != '0') {
            return std::nullopt;
        }
    }
    return std::to_string(static_cast<std::int32_t>(value));
}

std::string fieldText(std::string_view format, std::string_view valueText,
                      std::string_view scalingText, std::string_view unit, bool noScaling) {
    if (format.find('f') != std::string_view::npos) {
        const double scaling = noScaling ? 1.0 : scalingFactor(scalingText);
        return scaledText(format, leadingNumber(valueText), scaling, unit);
    }
    if (format.find('b') != std::string_view::npos) return binaryDigits(leadingInteger(valueText));
    return std::string(valueText);
}

std::vector<EnumEntry> enumEntries(std::string_view range) {
    std::vector<EnumEntry> entries;
    for (std::string_view piece : splitAny(range, {"[", "]"})) {
        const std::size_t comma = piece.rfind(',');
        if (comma == std::string_view::npos) continue;
        const std::string number(trimmed(piece.substr(0, piece.find(','))));
        const bool hex = number.starts_with("0x") || number.starts_with("0X");
        char* end = nullptr;
        const long value = std::strtol(number.c_str() + (hex ? 2 : 0), &end, hex ? 16 : 10);
        if (end == number.c_str() + (hex ? 2 : 0)) continue;
        entries.push_back({value, std::string(piece.substr(comma + 1))});
    }
    return entries;
}

std::string enumTranslationKey(std::string_view labelKey, long number) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "_ENUM_0x%02lX", static_cast<unsigned long>(number) & 0xFFFFFFFFul);
    return std::string(labelKey) + suffix;
}

}  // namespace views::elements
