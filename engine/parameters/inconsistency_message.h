#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace engine {

class ValueParameter;

// Looks a label key up in the language table (the key itself when it has none).
using Translator = std::function<std::string(std::string_view key)>;

// The message shown for an out-of-range parameter before a download:
// "<label> : <inconsistent_data_help>", both translated, followed by
// " [<lo> <unit> to <hi> <unit>]" for each "lo to hi" piece of the range,
// the limits multiplied by the scaling factor and written with
// limitDecimals() decimals.
std::string inconsistencyMessage(ValueParameter& parameter, const Translator& translate);

}  // namespace engine
