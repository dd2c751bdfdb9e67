#include "engine/parameters/string_parameter.h"

#include "engine/parameters/wire_coding.h"

namespace engine {
namespace {

constexpr size_t kUserStringSize = 1024;

}  // namespace

StringParameter::StringParameter(const ParameterSpec& spec) : ValueParameter(spec) {}

std::string StringParameter::getSize() const {
    if (isUserCreated() && !isPacked()) return std::to_string(kUserStringSize);
    if (isPacked()) {
        const int bytes = describedSize();
        if (bytes == 0) return ValueParameter::getSize();
        return std::to_string(static_cast<size_t>(bytes) * 4 / 3);
    }
    return ValueParameter::getSize();
}

size_t StringParameter::wireByteCount() const {
    if (isUserCreated() && !isPacked()) return kUserStringSize;
    return static_cast<size_t>(describedSize());
}

size_t StringParameter::characterLimit() const {
    if (isPacked()) return wireByteCount() * 4 / 3;
    return wireByteCount();
}

std::string StringParameter::getValueText(int mode) const {
    if (!isDeviceMode(mode)) return value_;
    if (isPacked()) return wire::encodePackedAscii(value_, wireByteCount());
    return wire::encodeString(value_, wireByteCount());
}

void StringParameter::setValueText(std::string_view text, int mode) {
    const bool fromDevice = isDeviceMode(mode);
    std::string value;
    if (!fromDevice) {
        if (isPacked() && !wire::isPackedAsciiText(text)) return refuseValue();
        value = text;
    } else if (isPacked()) {
        value = wire::decodePackedAscii(text, characterLimit());
    } else {
        value = wire::decodeString(text, characterLimit());
    }
    takeValue(value != value_, fromDevice, [&] { value_ = std::move(value); });
}

}  // namespace engine
