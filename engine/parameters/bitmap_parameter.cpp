#include "engine/parameters/bitmap_parameter.h"

#include "engine/parameters/wire_coding.h"

namespace engine {

BitmapParameter::BitmapParameter(const ParameterSpec& spec)
    : ValueParameter(spec), bytes_(static_cast<size_t>(describedSize()), 0) {}

std::string BitmapParameter::getValueText(int mode) const {
    if (isDeviceMode(mode)) return wire::encodeBitmap(bytes_);
    std::string text;
    text.reserve(bytes_.size() * 8);
    for (uint8_t byte : bytes_) {
        for (int bit = 0; bit < 8; ++bit) text.push_back(((byte >> bit) & 1) != 0 ? '1' : '0');
    }
    return text;
}

std::optional<std::vector<uint8_t>> BitmapParameter::applyBitText(std::string_view text) const {
    std::vector<uint8_t> bytes = bytes_;
    const bool fixedSize = describedSize() > 0;
    if (fixedSize && text.size() > bytes.size() * 8) return std::nullopt;
    if (!fixedSize && bytes.size() * 8 < text.size()) bytes.resize((text.size() + 7) / 8, 0);
    for (size_t i = 0; i < text.size(); ++i) {
        const auto mask = static_cast<uint8_t>(1u << (i % 8));
        switch (text[i]) {
            case '1': bytes[i / 8] |= mask; break;
            case '0': bytes[i / 8] &= static_cast<uint8_t>(~mask); break;
            case 'x': break;
            default: return std::nullopt;
        }
    }
    return bytes;
}

void BitmapParameter::setValueText(std::string_view text, int mode) {
    const bool fromDevice = isDeviceMode(mode);
    std::vector<uint8_t> bytes = bytes_;
    if (fromDevice) {
        wire::decodeBitmap(text, bytes);
    } else {
        std::optional<std::vector<uint8_t>> applied = applyBitText(text);
        if (!applied) return refuseValue();
        bytes = std::move(*applied);
    }
    takeValue(bytes != bytes_, fromDevice, [&] { bytes_ = std::move(bytes); });
}

size_t BitmapParameter::wireByteCount() const {
    const int size = describedSize();
    return size > 0 ? static_cast<size_t>(size) : bytes_.size();
}

std::optional<uint64_t> BitmapParameter::readBits(int lower, int upper) const {
    if (lower < 0 || upper < lower || upper - lower >= 64 ||
        static_cast<size_t>(upper) >= bytes_.size() * 8) {
        return std::nullopt;
    }
    uint64_t bits = 0;
    for (int i = upper; i >= lower; --i) {
        const auto index = static_cast<size_t>(i);
        bits = (bits << 1) | ((bytes_[index / 8] >> (index % 8)) & 1u);
    }
    return bits;
}

bool BitmapParameter::writeBits(int lower, int upper, uint64_t bits) {
    if (lower < 0 || upper < lower || upper - lower >= 64) return false;
    // The kept positions are "x", the range follows bit by bit.
    std::string mask(static_cast<size_t>(lower), 'x');
    for (int i = 0; i <= upper - lower; ++i) mask.push_back(((bits >> i) & 1) != 0 ? '1' : '0');
    setValueText(mask, kDisplayMode);
    return true;
}

}  // namespace engine
