#pragma once

#include "engine/parameters/value_parameter.h"

namespace engine {

// "bit_range": a view on bits "lower_index" to "upper_index" of
// "user:data_type/user:bit_range_type" of the parent parameter's value. Its
// value text is the decimal value of those bits in every mode; setting it
// range-checks like an unsigned integer (user texts refused, device texts
// clamped) and writes the bits into the parent. Without a parent that has
// those bits, reading raises CDTMException "Format Error" and setting refuses.
class BitRangeParameter : public ValueParameter {
public:
    explicit BitRangeParameter(const ParameterSpec& spec);

    std::string getValueText(int mode) const override;
    void setValueText(std::string_view text, int mode) override;
    // A view has no bytes of its own inside a complex value.
    size_t wireByteCount() const override { return 0; }

private:
    struct Bits {
        int lower;
        int upper;
    };
    std::optional<Bits> bitPositions() const;
};

}  // namespace engine
