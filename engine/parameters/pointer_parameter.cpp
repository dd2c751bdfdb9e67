#include "engine/parameters/pointer_parameter.h"

#include "engine/parameters/code_index.h"
#include "engine/parameters/device_object.h"

namespace engine {
PointerParameter::PointerParameter(const ParameterSpec& spec) : ValueParameter(spec) {}

std::string PointerParameter::getValueText(int) const {
    if (!node()) return {};
    return owner().codeIndex(node()).codeOfParameter(std::to_string(value_)).value_or(std::string());
}

void PointerParameter::setValueText(std::string_view text, int mode) {
    const bool fromDevice = isDeviceMode(mode);
    std::optional<std::string> reference;
    if (node()) reference = owner().codeIndex(node()).parameterOfCode(text);
    if (!reference) {
        if (!fromDevice) refuseValue();
        return;
    }
    const auto value = static_cast<uint32_t>(parseLeadingDecimal(*reference));
    takeValue(value != value_, fromDevice, [&] { value_ = value; });
}

ValueParameter* PointerParameter::resolveTarget(std::string_view kind) {
    if (kind == "pointer_value") return this;
    return owner().findDeep(targetId());
}

}  // namespace engine
