#pragma once

#include <cstdint>

#include "engine/parameters/value_parameter.h"

namespace engine {

// "unsigned8" to "unsigned32" and "signed8" to "signed32": a 32-bit value.
// Display texts are decimal (unsigned also "0x" hexadecimal); device texts
// are the last 2 * size digits of "%08X". A refused display value sets
// outOfRange; a device value outside the range is clamped to the limit of the
// last range piece that refused it.
class IntegerParameter : public ValueParameter {
public:
    explicit IntegerParameter(const ParameterSpec& spec);

    bool isSigned() const { return kind() == ParameterKind::SignedInteger; }
    uint32_t rawValue() const { return value_; }

    std::string getValueText(int mode) const override;
    void setValueText(std::string_view text, int mode) override;
    size_t wireByteCount() const override;
    std::optional<uint64_t> readBits(int lower, int upper) const override;
    bool writeBits(int lower, int upper, uint64_t bits) override;

private:
    int64_t numericValue() const;
    uint32_t clampToKind(int64_t value) const;

    uint32_t value_ = 0;
};

}  // namespace engine
