#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Wire texts: two hexadecimal digits per byte, most significant byte first.
// Every decoder reads complete pairs from the left and stops at the first pair
// that is not hexadecimal, using the bytes read so far. Encoders never write
// more than the size asked for.
namespace engine::wire {

// The complete hexadecimal pairs at the start of text, at most maxBytes.
std::vector<uint8_t> readHexPairs(std::string_view text,
                                  size_t maxBytes = static_cast<size_t>(-1));

// Appends one byte as two digits, upper- or lower-case.
void appendHexByte(std::string& out, uint8_t byte, bool upperCase);

// "%08X" of value, keeping the last 2 * sizeBytes digits (sizeBytes 0 to 4).
std::string encodeInteger(uint32_t value, int sizeBytes);
// Up to the first 8 characters as big-endian bytes.
uint32_t decodeUnsigned(std::string_view text);
// As decodeUnsigned; fewer than four bytes whose first has bit 7 set are
// sign-extended.
int32_t decodeSigned(std::string_view text);

// The value as IEEE 754 single precision, four bytes in lower-case digits.
// Magnitudes beyond single precision become infinities.
std::string encodeFloat(double value);
// Four bytes: single precision. Any other count (up to eight) fills a double
// from its least significant byte upwards, the text holding the most
// significant byte first.
double decodeFloating(std::string_view text);

// sizeBytes bytes, one per character code (lower-case digits), blanks past the
// end of the text. Texts are UTF-8; code points above 255 are sent as '?'.
std::string encodeString(std::string_view text, size_t sizeBytes);
// One character per byte (codes 128 to 255 become their UTF-8 form); a zero
// byte ends the text; white space trimmed at both ends; cut to maxChars
// characters when maxChars is not 0.
std::string decodeString(std::string_view text, size_t maxChars);

// HART packed ASCII: four 6-bit codes in three bytes, upper-cased, blanks past
// the end; sizeBytes bytes in upper-case digits.
std::string encodePackedAscii(std::string_view text, size_t sizeBytes);
// Whether every code point is in the packed-ASCII set (0x20 to 0x5F, with
// a-z as A-Z); a packed text with any other character is refused.
bool isPackedAsciiText(std::string_view text);
// Each three bytes give four characters (a short last group as many complete
// 6-bit codes as it holds); codes up to 31 are moved up by 64. Trimmed at both
// ends and cut to maxChars characters when maxChars is not 0.
std::string decodePackedAscii(std::string_view text, size_t maxChars);

// The bytes from the last stored one to the first, upper-case digits.
std::string encodeBitmap(const std::vector<uint8_t>& bytes);
// Fills bytes from the last one downwards, one per pair; bytes past the end of
// the text keep their value. An empty vector grows to the number of pairs.
void decodeBitmap(std::string_view text, std::vector<uint8_t>& bytes);

struct WireDate {
    int day = 1;
    int month = 1;
    int year = 1900;
};
// Day, month and year - 1900, lower-case digits; the year must lie in 1900
// to 2155 (values outside are reduced to a byte).
std::string encodeDate(const WireDate& date);
// Three bytes day, month, year - 1900; a day outside 1 to 31 or a month
// outside 1 to 12 becomes 1; fields past the end of the text keep their value.
void decodeDate(std::string_view text, WireDate& date);

}  // namespace engine::wire
