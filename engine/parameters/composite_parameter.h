#pragma once

#include "engine/parameters/value_parameter.h"

namespace engine {

// "complex" and arrays: the value lives in the components. The display text
// is empty and setting one does nothing. The device text is the components'
// device texts in order; setting it gives each component the next
// 2 * (its byte count) digits, until the text runs out.
class CompositeParameter : public ValueParameter {
public:
    explicit CompositeParameter(const ParameterSpec& spec);

    std::string getValueText(int mode) const override;
    void setValueText(std::string_view text, int mode) override;
    size_t wireByteCount() const override;
};

}  // namespace engine
