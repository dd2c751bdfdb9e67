#include "simulator/write_check.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

#include "simulator/hart_codes.h"

namespace simulator {
namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::optional<double> toNumber(std::string_view text) {
    text = trimmed(text);
    if (text.empty()) return std::nullopt;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint64_t hex = 0;
        const auto [end, ec] = std::from_chars(text.data() + 2, text.data() + text.size(), hex, 16);
        if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
        return static_cast<double>(hex);
    }
    if (text[0] == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

void addPiece(std::string_view piece, AllowedValues& allowed) {
    const auto to = piece.find(" to ");
    if (to != std::string_view::npos) {
        const auto lo = toNumber(piece.substr(0, to));
        const auto hi = toNumber(piece.substr(to + 4));
        if (lo && hi && *lo <= *hi) allowed.intervals.push_back({*lo, *hi});
        return;
    }
    const auto separator = piece.find_first_of(",=");
    if (separator == std::string_view::npos) return;
    if (const auto value = toNumber(piece.substr(0, separator))) allowed.values.push_back(*value);
}

// The value as the wire holds it: single precision for 4-byte floats, so that
// a limit of 0.1 admits the 0.1 that arrived as a single.
double asStored(const ParameterInfo& info, double value) {
    return info.kind == ValueKind::Float && info.size != 8
               ? static_cast<double>(static_cast<float>(value))
               : value;
}

std::optional<double> limitValue(const DeviceMemory& staged, const ParameterInfo& info,
                                 const Limit& limit) {
    if (!limit.constant.empty()) {
        const auto value = toNumber(limit.constant);
        return value ? std::optional<double>(asStored(info, *value)) : std::nullopt;
    }
    if (!limit.pointer) return std::nullopt;
    const ParameterInfo* source = staged.description().parameter(*limit.pointer);
    if (source == nullptr || !source->inHartInterface || !source->isNumeric()) return std::nullopt;
    return asStored(info, staged.number(*limit.pointer));
}

std::uint8_t checkAgainstRange(const ParameterInfo& info, double value) {
    const AllowedValues allowed = parseRange(info.rangeText);
    if (allowed.empty()) return hart::kSuccess;
    for (double v : allowed.values) {
        if (asStored(info, v) == value) return hart::kSuccess;
    }
    if (allowed.intervals.empty()) return hart::kInvalidSelection;
    double below = INFINITY;  // distance to the nearest interval above the value
    double above = INFINITY;  // distance to the nearest interval below the value
    for (const auto& interval : allowed.intervals) {
        const double lo = asStored(info, interval.lo);
        const double hi = asStored(info, interval.hi);
        if (value >= lo && value <= hi) return hart::kSuccess;
        if (value < lo) below = std::min(below, lo - value);
        if (value > hi) above = std::min(above, value - hi);
    }
    return below <= above ? hart::kParameterTooSmall : hart::kParameterTooLarge;
}

std::uint8_t checkOne(const DeviceMemory& staged, const ParameterInfo& info, int depth) {
    if (info.isComposite()) {
        if (depth > 16) return hart::kSuccess;
        for (ReferenceId component : info.components) {
            const ParameterInfo* c = staged.description().parameter(component);
            if (c == nullptr) continue;
            if (const std::uint8_t code = checkOne(staged, *c, depth + 1)) return code;
        }
        return hart::kSuccess;
    }
    if (info.kind != ValueKind::Unsigned && info.kind != ValueKind::Signed &&
        info.kind != ValueKind::Float) {
        return hart::kSuccess;
    }
    const double value = staged.number(info.id);
    if (!std::isfinite(value)) return hart::kInvalidSelection;
    if (const std::uint8_t code = checkAgainstRange(info, value)) return code;
    if (const auto lower = limitValue(staged, info, info.lowerLimit); lower && value < *lower) {
        return hart::kParameterTooSmall;
    }
    if (const auto upper = limitValue(staged, info, info.upperLimit); upper && value > *upper) {
        return hart::kParameterTooLarge;
    }
    return hart::kSuccess;
}

}  // namespace

AllowedValues parseRange(std::string_view rangeText) {
    AllowedValues allowed;
    std::size_t pos = 0;
    while ((pos = rangeText.find('[', pos)) != std::string_view::npos) {
        const auto end = rangeText.find(']', pos + 1);
        if (end == std::string_view::npos) break;
        addPiece(trimmed(rangeText.substr(pos + 1, end - pos - 1)), allowed);
        pos = end + 1;
    }
    return allowed;
}

std::uint8_t checkWrittenValue(const DeviceMemory& staged, ReferenceId id) {
    const ParameterInfo* info = staged.description().parameter(id);
    return info == nullptr ? hart::kSuccess : checkOne(staged, *info, 0);
}

}  // namespace simulator
