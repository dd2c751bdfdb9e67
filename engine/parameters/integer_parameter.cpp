#include "engine/parameters/integer_parameter.h"

#include <algorithm>
#include <limits>

#include "engine/parameters/value_text.h"
#include "engine/parameters/wire_coding.h"

namespace engine {

IntegerParameter::IntegerParameter(const ParameterSpec& spec) : ValueParameter(spec) {}

int64_t IntegerParameter::numericValue() const {
    return isSigned() ? static_cast<int64_t>(static_cast<int32_t>(value_))
                      : static_cast<int64_t>(value_);
}

uint32_t IntegerParameter::clampToKind(int64_t value) const {
    if (isSigned()) {
        value = std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                    std::numeric_limits<int32_t>::max());
        return static_cast<uint32_t>(static_cast<int32_t>(value));
    }
    return static_cast<uint32_t>(
        std::clamp<int64_t>(value, 0, std::numeric_limits<uint32_t>::max()));
}

std::string IntegerParameter::getValueText(int mode) const {
    if (isDeviceMode(mode)) return wire::encodeInteger(value_, static_cast<int>(wireByteCount()));
    return std::to_string(numericValue());
}

void IntegerParameter::setValueText(std::string_view text, int mode) {
    const bool fromDevice = isDeviceMode(mode);
    int64_t value = 0;
    if (fromDevice) {
        value = isSigned() ? int64_t{wire::decodeSigned(text)} : int64_t{wire::decodeUnsigned(text)};
    } else if (isSigned()) {
        const std::optional<int32_t> parsed = value_text::parseUserSigned(text);
        if (!parsed) return refuseValue();
        value = *parsed;
    } else {
        const std::optional<uint32_t> parsed = value_text::parseUserUnsigned(text);
        if (!parsed) return refuseValue();
        value = *parsed;
    }
    const value_text::IntegerRangeCheck check = value_text::checkIntegerRange(value, getRange());
    if (!check.accepted) {
        if (!fromDevice) return refuseValue();
        value = check.clamp;
    }
    const uint32_t stored = clampToKind(value);
    takeValue(stored != value_, fromDevice, [&] { value_ = stored; });
}

size_t IntegerParameter::wireByteCount() const {
    const int size = describedSize();
    if (size > 0) return static_cast<size_t>(std::min(size, 4));
    const int width = integerTypeWidth(typeName());
    return width > 0 ? static_cast<size_t>(width) : 4;
}

std::optional<uint64_t> IntegerParameter::readBits(int lower, int upper) const {
    if (lower < 0 || upper < lower || upper > 31) return std::nullopt;
    const int width = upper - lower + 1;
    const uint64_t mask = width >= 64 ? ~uint64_t{0} : (uint64_t{1} << width) - 1;
    return (uint64_t{value_} >> lower) & mask;
}

bool IntegerParameter::writeBits(int lower, int upper, uint64_t bits) {
    if (lower < 0 || upper < lower || upper > 31) return false;
    const int width = upper - lower + 1;
    const uint64_t mask = ((uint64_t{1} << width) - 1) << lower;
    const uint64_t merged = (uint64_t{value_} & ~mask) | ((bits << lower) & mask);
    const auto raw = static_cast<uint32_t>(merged);
    const std::string text = isSigned() ? std::to_string(static_cast<int32_t>(raw))
                                        : std::to_string(raw);
    setValueText(text, kDisplayMode);
    return true;
}

}  // namespace engine
