#include "engine/documents/parameter_value_forms.h"

#include <algorithm>
#include <array>
#include <utility>

#include "engine/description/reference_id.h"
#include "engine/parameters/value_parameter.h"

namespace engine {

namespace {

using TypeEntry = std::pair<std::string_view, FdtValueType>;

constexpr std::array<TypeEntry, 21> kTypeTable{{
    {"unsigned8", {"byte", ValueElement::Number}},
    {"unsigned16", {"unsigned", ValueElement::Number}},
    {"unsigned24", {"unsigned", ValueElement::Number}},
    {"unsigned32", {"unsigned", ValueElement::Number}},
    {"signed8", {"int", ValueElement::Number}},
    {"signed16", {"int", ValueElement::Number}},
    {"signed24", {"int", ValueElement::Number}},
    {"signed32", {"int", ValueElement::Number}},
    {"float", {"float", ValueElement::Number}},
    {"double", {"double", ValueElement::Number}},
    {"string", {"ascii", ValueElement::String}},
    {"packed_ascii", {"packedAscii", ValueElement::String}},
    {"octet_string", {"bitString", ValueElement::String}},
    {"bitmap", {"dtmSpecific", ValueElement::Binary}},
    {"bit_range", {"dtmSpecific", ValueElement::Binary}},
    {"complex", {"dtmSpecific", ValueElement::Binary}},
    {"custom", {"dtmSpecific", ValueElement::Binary}},
    {"pointer", {"dtmSpecific", ValueElement::Binary}},
    {"date", {"date", ValueElement::Time}},
    {"time", {"time", ValueElement::Time}},
    {"time_date", {"dateAndTime", ValueElement::Time}},
}};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isHexText(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return hexDigit(c) >= 0; });
}

// The digits that a size text asks for: 2 per byte, 8 without a size.
std::size_t paddedDigits(std::string_view sizeText) {
    const int32_t size = parseLeadingDecimal(sizeText);
    if (size <= 0) return 8;
    return 2 * std::min(static_cast<std::size_t>(size), kMaxBinDataBytes);
}

// Zero-padded on the left to at least `digits` digits and to whole bytes.
std::string padLeft(std::string text, std::size_t digits) {
    if (text.size() < digits) text.insert(0, digits - text.size(), '0');
    if (text.size() % 2 != 0) text.insert(0, 1, '0');
    return text;
}

std::string upperHex(uint32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xFu]);
        value >>= 4;
    } while (value != 0);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        return lower(x) == lower(y);
    });
}

}  // namespace

std::optional<FdtValueType> fdtValueTypeOf(std::string_view engineTypeName) {
    for (const TypeEntry& entry : kTypeTable) {
        if (entry.first == engineTypeName) return entry.second;
    }
    return std::nullopt;
}

std::string_view valueElementName(ValueElement element) {
    switch (element) {
        case ValueElement::Number:
            return "fdt:NumberData";
        case ValueElement::String:
            return "fdt:StringData";
        case ValueElement::Binary:
            return "fdt:BinaryVariable";
        case ValueElement::Time:
            return "fdt:TimeData";
    }
    return {};
}

std::string_view valueAttributeName(ValueElement element) {
    switch (element) {
        case ValueElement::Number:
            return "number";
        case ValueElement::String:
            return "string";
        case ValueElement::Binary:
            return "binData";
        case ValueElement::Time:
            return "time";
    }
    return {};
}

std::string engineTypeNameOf(const ValueParameter& parameter) {
    if (parameter.kind() == ParameterKind::Array) return "array";
    return parameter.typeName();
}

std::string binDataOfNumberText(std::string_view valueText, std::string_view sizeText) {
    const auto bits = static_cast<uint32_t>(parseLeadingDecimal(valueText));
    return padLeft(upperHex(bits), paddedDigits(sizeText));
}

std::optional<int32_t> numberOfBinData(std::string_view binData) {
    if (!isHexText(binData)) return std::nullopt;
    const std::size_t firstSignificant = std::min(binData.find_first_not_of('0'), binData.size());
    const std::string_view significant = binData.substr(firstSignificant);
    if (significant.size() > 8) return std::nullopt;
    uint32_t value = 0;
    for (char c : significant) value = (value << 4) | static_cast<uint32_t>(hexDigit(c));
    return static_cast<int32_t>(value);
}

std::string binDataOfBitmap(std::string_view deviceText, std::string_view sizeText) {
    return padLeft(std::string(deviceText), paddedDigits(sizeText));
}

std::string bitmapDeviceText(std::string_view binData, std::size_t byteCount) {
    if (byteCount == 0) return std::string(binData);
    const std::size_t digits = 2 * byteCount;
    if (binData.size() >= digits) return std::string(binData.substr(binData.size() - digits));
    return padLeft(std::string(binData), digits);
}

std::string binDataOf(const ValueParameter& parameter) {
    if (parameter.kind() == ParameterKind::Bitmap) {
        return binDataOfBitmap(parameter.getValueText(kDeviceHexMode), parameter.getSize());
    }
    return binDataOfNumberText(parameter.getValueText(kDisplayMode), parameter.getSize());
}

void setFromBinData(ValueParameter& parameter, std::string_view binData) {
    if (parameter.kind() == ParameterKind::Bitmap) {
        if (!isHexText(binData)) return parameter.setOutOfRange(1);
        return parameter.setValueText(bitmapDeviceText(binData, parameter.wireByteCount()),
                                      kDeviceHexMode);
    }
    const std::optional<int32_t> number = numberOfBinData(binData);
    if (!number) return parameter.setOutOfRange(1);
    parameter.setValueText(std::to_string(*number), kDisplayMode);
}

std::string documentValueText(const ValueParameter& parameter, ValueElement element) {
    if (element == ValueElement::Binary) return binDataOf(parameter);
    return parameter.getValueText(kDisplayMode);
}

bool sameDocumentValue(std::string_view a, std::string_view b, ValueElement element) {
    if (element == ValueElement::Binary) return equalsIgnoringCase(a, b);
    return a == b;
}

}  // namespace engine
