#include "engine/parameters/inconsistency_message.h"

#include <limits>

#include "engine/parameters/value_parameter.h"
#include "engine/parameters/value_text.h"

namespace engine {
namespace {

// Numbers read as "%f" reads them: single precision.
bool readSingle(value_text::Scanner& scanner, float& out) {
    double value = 0;
    if (!scanner.readDouble(value)) return false;
    constexpr double kLargest = std::numeric_limits<float>::max();
    out = value > kLargest    ? std::numeric_limits<float>::infinity()
          : value < -kLargest ? -std::numeric_limits<float>::infinity()
                              : static_cast<float>(value);
    return true;
}

std::string limitText(float limit) {
    const double value = limit;
    return value_text::formatFixed(value, value_text::limitDecimals(value));
}

}  // namespace

std::string inconsistencyMessage(ValueParameter& parameter, const Translator& translate) {
    std::string message = translate(parameter.getLabel());
    message += " : ";
    message += translate("inconsistent_data_help");

    const std::string scalingText = parameter.getScaling();
    value_text::Scanner scalingScanner(scalingText);
    float scaling = 1;
    if (!readSingle(scalingScanner, scaling)) scaling = 1;
    const std::string unit = parameter.getUnit();
    const std::string range = parameter.getRange();

    for (std::string_view piece : value_text::splitPieces(range, "[]")) {
        value_text::Scanner scanner(piece);
        float lower = 0;
        float upper = 0;
        if (!readSingle(scanner, lower) || !scanner.match(" to ") || !readSingle(scanner, upper)) {
            continue;
        }
        lower *= scaling;
        upper *= scaling;
        message += " [";
        message += limitText(lower);
        message += ' ';
        message += unit;
        message += " to ";
        message += limitText(upper);
        message += ' ';
        message += unit;
        message += ']';
    }
    return message;
}

}  // namespace engine
