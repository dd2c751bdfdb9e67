#pragma once

#include <string>

#include "engine/parameters/value_parameter.h"

namespace engine {

// "string", "custom", "octet_string" and, with its own device coding,
// "packed_ascii": the stored text is the display text.
class StringParameter : public ValueParameter {
public:
    explicit StringParameter(const ParameterSpec& spec);

    const std::string& text() const { return value_; }

    // "1024" for a user-created string, the description's size otherwise; for
    // packed ASCII the number of characters that the described bytes hold.
    std::string getSize() const override;
    std::string getValueText(int mode) const override;
    void setValueText(std::string_view text, int mode) override;
    size_t wireByteCount() const override;

private:
    bool isPacked() const { return kind() == ParameterKind::PackedAscii; }
    // Characters a device text is cut to; 0 for no limit.
    size_t characterLimit() const;

    std::string value_;
};

}  // namespace engine
