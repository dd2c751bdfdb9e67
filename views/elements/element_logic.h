#pragma once
// The viewing elements' rules as plain functions: anchors, text building,
// number formats, ranges, state-box conditions, fault-list order, value-field
// commits and enumeration entries. No Qt and no engine: the elements feed
// these with the engine's texts and show what comes back.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "views/panels/panel_table.h"

namespace views::elements {

using panels::Anchor;
using panels::Rect;

struct Size {
    int width = 0;
    int height = 0;
    constexpr bool operator==(const Size&) const = default;
};

// Where an element lies after its parent went from `designParent` to
// `parent`: each edge follows its anchor share of the growth, and no edge
// goes below its design value.
Rect anchoredRect(const Rect& design, const Anchor& anchor, Size designParent, Size parent);

// A scaling text as a factor: one that reads as 0 (or not at all) counts as 1.
double scalingFactor(std::string_view scalingText);

// Leading floating-point number of a text ("12.5 mA" -> 12.5); 0 when none.
double leadingNumber(std::string_view text);
// Leading decimal integer of a text; 0 when none.
long leadingInteger(std::string_view text);

// Prints `value` with a printf format from the panel tables. The format must
// hold exactly one numeric conversion (f, e, g or d, with flags, width and
// precision); anything else prints the value with "%g" after the format's
// literal text is dropped. At most 256 characters.
std::string formatNumber(std::string_view format, double value);

// "12.3 mA": value × scaling printed with the format, a blank and the unit.
std::string scaledText(std::string_view format, double value, double scaling,
                       std::string_view unit);

// The bounds of a range written "[LOW to HIGH]"; both 0 when it does not match.
std::pair<double, double> rangeBounds(std::string_view range);
// The numbers of a range text split at "[", "]", "," and " to ", in order.
std::vector<double> rangeNumbers(std::string_view range);

// Doubles every "&" so that a caption shows it literally.
std::string literalAmpersands(std::string_view text);

// The bar gauge's integer scale: the bar runs 0 .. span × factor and shows
// (value + shift) × factor.
struct GaugeScale {
    double shift = 0;
    double span = 100;
    double factor = 1;
    int maximum() const { return static_cast<int>(span * factor); }
    int position(double value) const { return static_cast<int>((value + shift) * factor); }
};
GaugeScale gaugeScale(long minimum, long maximum);

// Whether a state box with `condition` is ticked for the value text: the
// text equals the condition, or the condition is ">N", "<N", "=N", "!=N",
// ">=N" or "<=N" and holds for the value read as an integer.
bool conditionHolds(std::string_view valueText, std::string_view condition);

// The label of a value in an entry range "[0=OK][1=Fault]": the text after
// the last "=" of the entry whose part before it is the value text; empty
// when no entry has that value.
std::string entryLabel(std::string_view range, std::string_view valueText);

// One row of a fault list as the sort sees it.
struct FaultRowKey {
    std::string valueText;
    std::string translatedName;
};
// Rows with the greater value text (plain text comparison) come first; equal
// values go by translated name, ascending.
bool faultRowBefore(const FaultRowKey& a, const FaultRowKey& b);

// --- value field ---

// A typed number: blanks trimmed and the unit cut off; valid when every
// character is one of ".-+0123456789", at most one "." and a sign only in
// front. Nullopt for anything else.
std::optional<double> typedNumber(std::string_view text, std::string_view unit);

// The text a numeric value field writes for a typed number: divided by the
// scaling (0 counts as 1, none with noScaling), "%1.0f" when the scaling is
// neither 0 nor 1, else "%1.6f".
std::string numericCommitText(double typed, std::string_view scalingText, bool noScaling);

// A value as binary digits, most significant first, without leading zeros
// ("0" for 0); negative values as their 32-bit pattern.
std::string binaryDigits(long value);
// Binary digits back to "%d" text; nullopt when a character is not 0 or 1 or
// the text is empty or longer than 32 digits.
std::optional<std::string> fromBinaryDigits(std::string_view digits);

// What a value field shows for a value: format with f scaled with the unit,
// with b binary digits, else the value text unchanged.
std::string fieldText(std::string_view format, std::string_view valueText,
                      std::string_view scalingText, std::string_view unit, bool noScaling);

// --- enumerations ---

struct EnumEntry {
    long number = 0;
    std::string label;  // the range's text after the entry's last comma
};
// Entries of a range "[1,Open][0x02,Closed]"; pieces that read neither as
// "%d,%s" nor as "0x%x,%s" are left out.
std::vector<EnumEntry> enumEntries(std::string_view range);
// The key-specific translation key "KEY_ENUM_0x01".
std::string enumTranslationKey(std::string_view labelKey, long number);

}  // namespace views::elements
