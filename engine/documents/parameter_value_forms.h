#pragma once
// How parameter values appear in the parameter document: the FDT data type
// of each engine type and the binData form of the "dtmSpecific" values.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

class ValueParameter;

// The value element of an fdt:Variant.
enum class ValueElement { Number, String, Binary, Time };

struct FdtValueType {
    std::string_view dataType;  // the Variant's dataType
    ValueElement element;
};

// The FDT form of an engine type name (exact, case-sensitive); nullopt for a
// type that has none.
std::optional<FdtValueType> fdtValueTypeOf(std::string_view engineTypeName);

// "fdt:NumberData", "fdt:StringData", "fdt:BinaryVariable", "fdt:TimeData".
std::string_view valueElementName(ValueElement element);
// "number", "string", "binData", "time".
std::string_view valueAttributeName(ValueElement element);

// The engine type name of a parameter: its description's type name, or
// "array" for an array (whatever its element type).
std::string engineTypeNameOf(const ValueParameter& parameter);

// The widest padding that binData takes from a parameter size, in bytes.
inline constexpr std::size_t kMaxBinDataBytes = 255;

// binData of a number text: the text read as a signed 32-bit decimal number
// (leading digits, 0 without), in upper-case hexadecimal, zero-padded on the
// left to 2 * size digits when the size text gives a size above 0 (at most
// kMaxBinDataBytes), else to 8 digits, and always to whole bytes. Negative
// numbers appear in 32-bit two's complement.
std::string binDataOfNumberText(std::string_view valueText, std::string_view sizeText);

// The number that binData holds: hexadecimal digits whose value, leading
// zeros aside, fits eight digits, read as 32-bit two's complement. nullopt
// for any other text.
std::optional<int32_t> numberOfBinData(std::string_view binData);

// binData of a bitmap: its device text (its bytes, most significant first),
// zero-padded on the left like binDataOfNumberText.
std::string binDataOfBitmap(std::string_view deviceText, std::string_view sizeText);

// The device text for a bitmap of byteCount bytes from binData: its last
// 2 * byteCount digits, zero-padded on the left when shorter. A bitmap
// without bytes takes the whole text.
std::string bitmapDeviceText(std::string_view binData, std::size_t byteCount);

// The binData that the parameter document writes for the parameter's current
// value: a bitmap's bytes, for every other kind the number that its display
// text starts with.
std::string binDataOf(const ValueParameter& parameter);

// Sets the parameter from a binData text, the inverse of binDataOf: a bitmap
// takes the bytes (device text), every other kind the number as its display
// text. A text that is not hexadecimal (or, for the number, not a 32-bit
// number) is refused like any other unusable input: the value stays and the
// parameter is marked out of range.
void setFromBinData(ValueParameter& parameter, std::string_view binData);

// The text that the value element of the parameter's variant carries.
std::string documentValueText(const ValueParameter& parameter, ValueElement element);
// Equality of two such texts (hexadecimal digits in either case for binData).
bool sameDocumentValue(std::string_view a, std::string_view b, ValueElement element);

}  // namespace engine
