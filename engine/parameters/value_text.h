#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Number texts as the parameter objects read and write them. Everything here
// is independent of the process locale: a "." is always the decimal point.
namespace engine::value_text {

// A small forward reader with the matching rules of scanf: blanks in a pattern
// match any run of white space, other characters match exactly, numbers skip
// leading white space.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    bool readDouble(double& out);
    bool readLong(int64_t& out);
    // Hexadecimal digits with an optional "0x" prefix, as "%x" reads them.
    bool readHex(uint64_t& out);
    // Matches pattern; on a mismatch the position is left where matching stopped.
    bool match(std::string_view pattern);
    // A run of non-blank characters after skipping white space, as "%s" reads it.
    bool readWord(std::string& out);
    void skipSpace();
    bool atEnd() const { return pos_ >= text_.size(); }
    std::string_view rest() const { return text_.substr(pos_); }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

// The pieces of text between any of the separator characters; empty pieces
// are dropped.
std::vector<std::string_view> splitPieces(std::string_view text, std::string_view separators);

// "%.10f" of a finite value; "#INF" and "-#INF" for infinities.
std::string formatFixed(double value, int decimals = 10);

// A user's floating text: "#" anywhere makes an infinity (negative with
// "-#INF"); otherwise every character must be one of ".,-+0123456789" and the
// leading numeric part is the value (none gives 0). A single "," without a
// "." is taken as the decimal point. nullopt when the text is not a number.
std::optional<double> parseUserFloating(std::string_view text);

// A user's integer text: unsigned accepts "0x" followed by hexadecimal digits
// or [+]digits, signed [+|-]digits; either may end in "." followed by zeros
// only. nullopt when the text is not such a number or leaves the 32-bit range.
std::optional<uint32_t> parseUserUnsigned(std::string_view text);
std::optional<int32_t> parseUserSigned(std::string_view text);

// Floating range check: the range text is split at "[" and "]"; a piece reads
// "lo to hi" or, as an enumeration entry, "value=text". A piece that holds no
// number is a separator and takes no part. No pieces: every value passes.
bool floatingInRange(double value, std::string_view range);

// Integer range check: the text is split at ","; each piece reads
// "[lo to hi]". A piece without both numbers accepts; pieces with lo >= hi
// are ignored. When refused, clamp is the limit of the last refusing piece.
struct IntegerRangeCheck {
    bool accepted = true;
    int64_t clamp = 0;
};
IntegerRangeCheck checkIntegerRange(int64_t value, std::string_view range);

// Looks a unit code up in a range text: pieces between "{" and "}" of the
// form "code,text" (code decimal or "0x" hexadecimal) whose code equals the
// one given replace unit by their text; finally '"', '[' and ']' are removed.
// A unit that is not a number is only cleaned.
std::string lookUpUnitCode(std::string_view unit, std::string_view range);

// Decimals shown for a limit in the inconsistency message.
int limitDecimals(double x);

}  // namespace engine::value_text
