#include "engine/parameters/wire_coding.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace engine::wire {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Code points of a UTF-8 text; a byte that does not start a valid sequence
// stands for itself, so texts from any source survive a round trip.
std::u32string codePoints(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3
                                    : (lead >> 3) == 0x1E ? 4 : 0;
        char32_t cp = length == 1 ? lead : length == 2 ? (lead & 0x1F)
                                      : length == 3 ? (lead & 0x0F) : (lead & 0x07);
        bool valid = length > 0 && i + length <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (valid && length > 1 && cp < 0x80u) valid = false;  // overlong form
        if (!valid) {
            out.push_back(lead);
            ++i;
        } else {
            out.push_back(cp);
            i += length;
        }
    }
    return out;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

bool isSpace(char32_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Trims white space at both ends, cuts to maxChars (0: no cut) and writes UTF-8.
std::string finishText(std::u32string chars, size_t maxChars) {
    size_t begin = 0;
    size_t end = chars.size();
    while (begin < end && isSpace(chars[begin])) ++begin;
    while (end > begin && isSpace(chars[end - 1])) --end;
    if (maxChars != 0 && end - begin > maxChars) end = begin + maxChars;
    std::string out;
    out.reserve(end - begin);
    for (size_t i = begin; i < end; ++i) appendUtf8(out, chars[i]);
    return out;
}

uint32_t bigEndian(const std::vector<uint8_t>& bytes) {
    uint32_t value = 0;
    for (uint8_t b : bytes) value = (value << 8) | b;
    return value;
}

}  // namespace

std::vector<uint8_t> readHexPairs(std::string_view text, size_t maxBytes) {
    std::vector<uint8_t> bytes;
    bytes.reserve(std::min(text.size() / 2, maxBytes));
    for (size_t i = 0; i + 1 < text.size() && bytes.size() < maxBytes; i += 2) {
        const int high = hexDigit(text[i]);
        const int low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0) break;
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return bytes;
}

void appendHexByte(std::string& out, uint8_t byte, bool upperCase) {
    const char* digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
    out.push_back(digits[byte >> 4]);
    out.push_back(digits[byte & 0x0F]);
}

std::string encodeInteger(uint32_t value, int sizeBytes) {
    sizeBytes = std::clamp(sizeBytes, 0, 4);
    std::string out;
    out.reserve(static_cast<size_t>(sizeBytes) * 2);
    for (int k = sizeBytes - 1; k >= 0; --k) {
        appendHexByte(out, static_cast<uint8_t>(value >> (8 * k)), true);
    }
    return out;
}

uint32_t decodeUnsigned(std::string_view text) {
    return bigEndian(readHexPairs(text.substr(0, 8), 4));
}

int32_t decodeSigned(std::string_view text) {
    const std::vector<uint8_t> bytes = readHexPairs(text.substr(0, 8), 4);
    uint32_t value = bigEndian(bytes);
    if (!bytes.empty() && bytes.size() < 4 && (bytes.front() & 0x80) != 0) {
        value |= ~uint32_t{0} << (8 * bytes.size());
    }
    return static_cast<int32_t>(value);
}

std::string encodeFloat(double value) {
    float single;
    if (std::isnan(value)) {
        single = std::numeric_limits<float>::quiet_NaN();
    } else if (value > std::numeric_limits<float>::max()) {
        single = std::numeric_limits<float>::infinity();
    } else if (value < std::numeric_limits<float>::lowest()) {
        single = -std::numeric_limits<float>::infinity();
    } else {
        single = static_cast<float>(value);
    }
    const auto bits = std::bit_cast<uint32_t>(single);
    std::string out;
    out.reserve(8);
    for (int k = 3; k >= 0; --k) appendHexByte(out, static_cast<uint8_t>(bits >> (8 * k)), false);
    return out;
}

double decodeFloating(std::string_view text) {
    const std::vector<uint8_t> bytes = readHexPairs(text.substr(0, 16), 8);
    if (bytes.size() == 4) return std::bit_cast<float>(bigEndian(bytes));
    uint64_t bits = 0;
    for (uint8_t b : bytes) bits = (bits << 8) | b;
    return std::bit_cast<double>(bits);
}

std::string encodeString(std::string_view text, size_t sizeBytes) {
    const std::u32string chars = codePoints(text);
    std::string out;
    out.reserve(sizeBytes * 2);
    for (size_t k = 0; k < sizeBytes; ++k) {
        char32_t c = k < chars.size() ? chars[k] : U' ';
        if (c > 0xFF) c = U'?';
        appendHexByte(out, static_cast<uint8_t>(c), false);
    }
    return out;
}

std::string decodeString(std::string_view text, size_t maxChars) {
    std::u32string chars;
    for (uint8_t b : readHexPairs(text)) {
        if (b == 0) break;
        chars.push_back(b);
    }
    return finishText(std::move(chars), maxChars);
}

bool isPackedAsciiText(std::string_view text) {
    for (char32_t c : codePoints(text)) {
        if (c >= U'a' && c <= U'z') c -= U'a' - U'A';
        if (c < 0x20 || c > 0x5F) return false;
    }
    return true;
}

std::string encodePackedAscii(std::string_view text, size_t sizeBytes) {
    const std::u32string chars = codePoints(text);
    std::string out;
    out.reserve(sizeBytes * 2 + 6);
    size_t next = 0;
    while (out.size() < sizeBytes * 2) {
        uint32_t group = 0;
        for (int k = 0; k < 4; ++k, ++next) {
            char32_t c = next < chars.size() ? chars[next] : U' ';
            if (c >= U'a' && c <= U'z') c -= U'a' - U'A';
            group = (group << 6) | (c & 0x3F);
        }
        for (int k = 2; k >= 0; --k) appendHexByte(out, static_cast<uint8_t>(group >> (8 * k)), true);
    }
    out.resize(sizeBytes * 2);
    return out;
}

std::string decodePackedAscii(std::string_view text, size_t maxChars) {
    const std::vector<uint8_t> bytes = readHexPairs(text);
    std::u32string chars;
    chars.reserve(bytes.size() * 4 / 3 + 1);
    for (size_t start = 0; start < bytes.size(); start += 3) {
        const size_t count = std::min<size_t>(3, bytes.size() - start);
        uint32_t group = 0;
        for (size_t k = 0; k < 3; ++k) group = (group << 8) | (k < count ? bytes[start + k] : 0);
        const size_t codes = count * 8 / 6;
        for (size_t k = 0; k < codes; ++k) {
            char32_t code = (group >> (18 - 6 * k)) & 0x3F;
            chars.push_back(code <= 31 ? code + 64 : code);
        }
    }
    return finishText(std::move(chars), maxChars);
}

std::string encodeBitmap(const std::vector<uint8_t>& bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (auto it = bytes.rbegin(); it != bytes.rend(); ++it) appendHexByte(out, *it, true);
    return out;
}

void decodeBitmap(std::string_view text, std::vector<uint8_t>& bytes) {
    if (bytes.empty()) {
        const std::vector<uint8_t> read = readHexPairs(text);
        bytes.assign(read.rbegin(), read.rend());
        return;
    }
    const std::vector<uint8_t> read = readHexPairs(text, bytes.size());
    for (size_t k = 0; k < read.size(); ++k) bytes[bytes.size() - 1 - k] = read[k];
}

std::string encodeDate(const WireDate& date) {
    std::string out;
    out.reserve(6);
    appendHexByte(out, static_cast<uint8_t>(date.day), false);
    appendHexByte(out, static_cast<uint8_t>(date.month), false);
    appendHexByte(out, static_cast<uint8_t>(date.year - 1900), false);
    return out;
}

void decodeDate(std::string_view text, WireDate& date) {
    const std::vector<uint8_t> bytes = readHexPairs(text, 3);
    if (bytes.size() > 0) date.day = bytes[0] >= 1 && bytes[0] <= 31 ? bytes[0] : 1;
    if (bytes.size() > 1) date.month = bytes[1] >= 1 && bytes[1] <= 12 ? bytes[1] : 1;
    if (bytes.size() > 2) date.year = 1900 + bytes[2];
}

}  // namespace engine::wire
