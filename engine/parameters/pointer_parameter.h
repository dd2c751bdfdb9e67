#pragma once

#include <cstdint>

#include "engine/parameters/value_parameter.h"

namespace engine {

// "pointer": its value is the reference id of another parameter. Its text, in
// every mode, is the HART command number ("user:addressing/user:code_hart")
// of that parameter; setting it from a command number makes it point to the
// HART parameter carrying that number. A number that no parameter carries is
// refused (display) or ignored (device).
class PointerParameter : public ValueParameter {
public:
    explicit PointerParameter(const ParameterSpec& spec);

    ParameterId targetId() const { return static_cast<ParameterId>(value_); }

    std::string getValueText(int mode) const override;
    void setValueText(std::string_view text, int mode) override;
    // Itself for "pointer_value", otherwise the parameter it points to (null
    // when there is none).
    ValueParameter* resolveTarget(std::string_view kind) override;

private:
    uint32_t value_ = 0;
};

}  // namespace engine
