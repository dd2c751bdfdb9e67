#include "engine/parameters/composite_parameter.h"

namespace engine {
namespace {

// Bit ranges view the composite's own bits and carry no bytes of their own.
bool carriesBytes(const ValueParameter* component) {
    return component->kind() != ParameterKind::BitRange;
}

}  // namespace

CompositeParameter::CompositeParameter(const ParameterSpec& spec) : ValueParameter(spec) {}

std::string CompositeParameter::getValueText(int mode) const {
    if (!isDeviceMode(mode)) return {};
    std::string text;
    for (const ValueParameter* component : components()) {
        if (carriesBytes(component)) text += component->getValueText(mode);
    }
    return text;
}

void CompositeParameter::setValueText(std::string_view text, int mode) {
    if (!isDeviceMode(mode)) return;
    size_t offset = 0;
    for (ValueParameter* component : components()) {
        if (!carriesBytes(component)) continue;
        if (offset >= text.size()) break;
        const size_t length = component->wireByteCount() * 2;
        if (length == 0) continue;
        component->setValueText(text.substr(offset, length), mode);
        offset += length;
    }
}

size_t CompositeParameter::wireByteCount() const {
    size_t bytes = 0;
    for (const ValueParameter* component : components()) bytes += component->wireByteCount();
    return bytes;
}

}  // namespace engine
