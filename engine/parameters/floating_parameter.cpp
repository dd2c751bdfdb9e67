#include "engine/parameters/floating_parameter.h"

#include "engine/description/dtm_exception.h"
#include "engine/parameters/value_text.h"
#include "engine/parameters/wire_coding.h"

namespace engine {

FloatingParameter::FloatingParameter(const ParameterSpec& spec) : ValueParameter(spec) {}

std::string FloatingParameter::getValueText(int mode) const {
    if (isDeviceMode(mode)) return wire::encodeFloat(value_);
    std::string text = value_text::formatFixed(value_);
    if (text.empty()) throw CDTMException("Format Error");
    return text;
}

void FloatingParameter::setValueText(std::string_view text, int mode) {
    const bool fromDevice = isDeviceMode(mode);
    double value = 0;
    if (fromDevice) {
        value = wire::decodeFloating(text);
    } else {
        const std::optional<double> parsed = value_text::parseUserFloating(text);
        if (!parsed || !value_text::floatingInRange(*parsed, getRange())) return refuseValue();
        value = *parsed;
    }
    takeValue(value != value_, fromDevice, [&] { value_ = value; });
}

size_t FloatingParameter::wireByteCount() const {
    const int size = describedSize();
    return size > 0 ? static_cast<size_t>(size) : 4;
}

}  // namespace engine
