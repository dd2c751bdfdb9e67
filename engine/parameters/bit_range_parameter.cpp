#include "engine/parameters/bit_range_parameter.h"

#include "engine/description/description_node.h"
#include "engine/description/dtm_exception.h"
#include "engine/parameters/value_text.h"

namespace engine {

BitRangeParameter::BitRangeParameter(const ParameterSpec& spec) : ValueParameter(spec) {}

std::optional<BitRangeParameter::Bits> BitRangeParameter::bitPositions() const {
    const xml::Node range = description::firstPath(node(), {"data_type", "bit_range_type"});
    const std::optional<std::string> lower = range.getAttribute("lower_index");
    const std::optional<std::string> upper = range.getAttribute("upper_index");
    if (!lower || !upper) return std::nullopt;
    const Bits bits{parseLeadingDecimal(*lower), parseLeadingDecimal(*upper)};
    if (bits.lower < 0 || bits.upper < bits.lower || bits.upper - bits.lower >= 32) {
        return std::nullopt;
    }
    return bits;
}

std::string BitRangeParameter::getValueText(int) const {
    const std::optional<Bits> bits = bitPositions();
    if (!bits || parent() == nullptr) throw CDTMException("Format Error");
    const std::optional<uint64_t> value = parent()->readBits(bits->lower, bits->upper);
    if (!value) throw CDTMException("Format Error");
    return std::to_string(*value);
}

void BitRangeParameter::setValueText(std::string_view text, int mode) {
    const bool fromDevice = isDeviceMode(mode);
    const std::optional<Bits> bits = bitPositions();
    const std::optional<uint32_t> parsed = value_text::parseUserUnsigned(text);
    if (!bits || parent() == nullptr || !parsed) return refuseValue();
    if (!parent()->readBits(bits->lower, bits->upper)) return refuseValue();
    int64_t value = *parsed;
    const value_text::IntegerRangeCheck check = value_text::checkIntegerRange(value, getRange());
    if (!check.accepted) {
        if (!fromDevice) return refuseValue();
        value = check.clamp;
    }
    const int width = bits->upper - bits->lower + 1;
    const int64_t largest = (int64_t{1} << width) - 1;
    if (value < 0 || value > largest) {
        if (!fromDevice) return refuseValue();
        value = value < 0 ? 0 : largest;
    }
    if (!fromDevice) setOutOfRange(0);
    parent()->writeBits(bits->lower, bits->upper, static_cast<uint64_t>(value));
}

}  // namespace engine
