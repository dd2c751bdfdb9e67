#include "engine/parameters/pointer_parameter.h"

#include "engine/parameters/device_object.h"

namespace engine {
namespace {

std::string codeOfParameterPath(uint32_t referenceId) {
    return "//user:device_interface/user:block/user:parameter[attribute::reference_id=\"" +
           std::to_string(referenceId) + "\"]/user:addressing/user:code_hart";
}

std::string parameterOfCodePath(std::string_view code) {
    return "//user:device_interface[attribute::bus_type='hart']/user:block/"
           "user:parameter[user:addressing[user:code_hart=\"" +
           std::string(code) + "\"]]/@reference_id";
}

}  // namespace

PointerParameter::PointerParameter(const ParameterSpec& spec) : ValueParameter(spec) {}

std::string PointerParameter::getValueText(int) const {
    if (!node()) return {};
    const xml::Node code = node().selectSingleNode(codeOfParameterPath(value_));
    return code ? code.text() : std::string();
}

void PointerParameter::setValueText(std::string_view text, int mode) {
    const bool fromDevice = isDeviceMode(mode);
    // A quote would end the XPath literal: no command number contains one.
    xml::Node reference;
    if (node() && text.find('"') == std::string_view::npos) {
        reference = node().selectSingleNode(parameterOfCodePath(text));
    }
    if (!reference) {
        if (!fromDevice) refuseValue();
        return;
    }
    const auto value = static_cast<uint32_t>(parseLeadingDecimal(reference.text()));
    takeValue(value != value_, fromDevice, [&] { value_ = value; });
}

ValueParameter* PointerParameter::resolveTarget(std::string_view kind) {
    if (kind == "pointer_value") return this;
    return owner().findDeep(targetId());
}

}  // namespace engine
