#pragma once

#include <cstdint>
#include <vector>

#include "engine/parameters/value_parameter.h"

namespace engine {

// "bitmap": bytes in stored order. The display text has one "1" or "0" per
// bit, bytes in stored order and bits from the least significant; set from
// such a text, an "x" keeps its bit. The device text is the bytes from the
// last stored one to the first.
class BitmapParameter : public ValueParameter {
public:
    explicit BitmapParameter(const ParameterSpec& spec);

    const std::vector<uint8_t>& bytes() const { return bytes_; }

    std::string getValueText(int mode) const override;
    void setValueText(std::string_view text, int mode) override;
    size_t wireByteCount() const override;
    std::optional<uint64_t> readBits(int lower, int upper) const override;
    bool writeBits(int lower, int upper, uint64_t bits) override;

private:
    // The bytes after applying a bit text, or nullopt for a character other
    // than "0", "1" and "x" or more bits than the described size holds.
    std::optional<std::vector<uint8_t>> applyBitText(std::string_view text) const;

    std::vector<uint8_t> bytes_;
};

}  // namespace engine
