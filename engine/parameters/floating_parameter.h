#pragma once

#include "engine/parameters/value_parameter.h"

namespace engine {

// "double" and "float": a 64-bit double. Display texts are "%.10f" with
// "#INF" and "-#INF" for infinities; device texts are single precision (read
// back as double from any other byte count). A device value outside the range
// is stored as it is.
class FloatingParameter : public ValueParameter {
public:
    explicit FloatingParameter(const ParameterSpec& spec);

    double value() const { return value_; }

    std::string getValueText(int mode) const override;
    void setValueText(std::string_view text, int mode) override;
    size_t wireByteCount() const override;

private:
    double value_ = 0;
};

}  // namespace engine
