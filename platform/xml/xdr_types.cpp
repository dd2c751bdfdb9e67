#include <charconv>
#include <cstdint>
#include <limits>

#include "platform/xml/libxml_support_p.h"
#include "platform/xml/text_check_p.h"
#include "platform/xml/xdr_schema_p.h"

namespace xml {
namespace {

using Kind = DataType::Kind;

struct NamedKind {
    std::string_view name;
    Kind kind;
};

constexpr NamedKind kKinds[] = {
    {"string", Kind::String},       {"id", Kind::Id},
    {"idref", Kind::Idref},         {"idrefs", Kind::Idrefs},
    {"nmtoken", Kind::Nmtoken},     {"nmtokens", Kind::Nmtokens},
    {"entity", Kind::Entity},       {"entities", Kind::Entities},
    {"notation", Kind::Notation},   {"enumeration", Kind::Enumeration},
    {"number", Kind::Number},       {"int", Kind::Int},
    {"fixed.14.4", Kind::Fixed14_4}, {"float", Kind::Float},
    {"r4", Kind::Float},            {"r8", Kind::Float},
    {"i1", Kind::I1},               {"i2", Kind::I2},
    {"i4", Kind::I4},               {"i8", Kind::I8},
    {"ui1", Kind::UI1},             {"ui2", Kind::UI2},
    {"ui4", Kind::UI4},             {"ui8", Kind::UI8},
    {"boolean", Kind::Boolean},     {"char", Kind::Char},
    {"date", Kind::Date},           {"dateTime", Kind::DateTime},
    {"dateTime.tz", Kind::DateTimeTz}, {"time", Kind::Time},
    {"time.tz", Kind::TimeTz},      {"uuid", Kind::Uuid},
    {"uri", Kind::Uri},             {"bin.hex", Kind::BinHex},
    {"bin.base64", Kind::BinBase64},
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

std::size_t countDigits(std::string_view s, std::size_t& i)
{
    const std::size_t start = i;
    while (i < s.size() && isDigit(s[i])) {
        ++i;
    }
    return i - start;
}

bool isNumber(std::string_view s)
{
    if (s == "INF" || s == "-INF" || s == "NaN") {
        return true;
    }
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    std::size_t digits = countDigits(s, i);
    if (i < s.size() && s[i] == '.') {
        ++i;
        digits += countDigits(s, i);
    }
    if (digits == 0) {
        return false;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            ++i;
        }
        if (countDigits(s, i) == 0) {
            return false;
        }
    }
    return i == s.size();
}

bool isFixed14_4(std::string_view s)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    const std::size_t whole = countDigits(s, i);
    std::size_t fraction = 0;
    if (i < s.size() && s[i] == '.') {
        ++i;
        fraction = countDigits(s, i);
    }
    return i == s.size() && whole + fraction > 0 && whole <= 14 && fraction <= 4;
}

bool signedInRange(std::string_view s, std::int64_t low, std::int64_t high)
{
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && s.front() == '-') {
            return false;
        }
    }
    std::int64_t v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && end == s.data() + s.size() && !s.empty() && v >= low && v <= high;
}

bool unsignedInRange(std::string_view s, std::uint64_t high)
{
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
    }
    if (s.empty() || !isDigit(s.front())) {
        return false;
    }
    std::uint64_t v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && end == s.data() + s.size() && v <= high;
}

bool twoDigits(std::string_view s, std::size_t at, int low, int high)
{
    if (at + 2 > s.size() || !isDigit(s[at]) || !isDigit(s[at + 1])) {
        return false;
    }
    const int v = (s[at] - '0') * 10 + (s[at + 1] - '0');
    return v >= low && v <= high;
}

// YYYY-MM-DD; advances `i`.
bool parseDate(std::string_view s, std::size_t& i)
{
    if (s.size() < i + 10 || s[i + 4] != '-' || s[i + 7] != '-') {
        return false;
    }
    for (std::size_t k = 0; k < 4; ++k) {
        if (!isDigit(s[i + k])) {
            return false;
        }
    }
    const int year = (s[i] - '0') * 1000 + (s[i + 1] - '0') * 100 + (s[i + 2] - '0') * 10 + (s[i + 3] - '0');
    if (!twoDigits(s, i + 5, 1, 12) || !twoDigits(s, i + 8, 1, 31)) {
        return false;
    }
    const int month = (s[i + 5] - '0') * 10 + (s[i + 6] - '0');
    const int day = (s[i + 8] - '0') * 10 + (s[i + 9] - '0');
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day > kDays[month - 1] || (month == 2 && day == 29 && !leap)) {
        return false;
    }
    i += 10;
    return true;
}

// hh:mm[:ss[.fraction]]; advances `i`.
bool parseTime(std::string_view s, std::size_t& i)
{
    if (!twoDigits(s, i, 0, 23) || i + 5 > s.size() || s[i + 2] != ':' || !twoDigits(s, i + 3, 0, 59)) {
        return false;
    }
    i += 5;
    if (i < s.size() && s[i] == ':') {
        if (!twoDigits(s, i + 1, 0, 59)) {
            return false;
        }
        i += 3;
        if (i < s.size() && s[i] == '.') {
            ++i;
            if (countDigits(s, i) == 0) {
                return false;
            }
        }
    }
    return true;
}

// Z or +hh:mm / -hh:mm, optional; advances `i`.
bool parseZone(std::string_view s, std::size_t& i)
{
    if (i == s.size()) {
        return true;
    }
    if (s[i] == 'Z') {
        ++i;
        return true;
    }
    if ((s[i] == '+' || s[i] == '-') && twoDigits(s, i + 1, 0, 14) && i + 6 <= s.size() && s[i + 3] == ':' &&
        twoDigits(s, i + 4, 0, 59)) {
        i += 6;
        return true;
    }
    return false;
}

bool isDateTime(std::string_view s, bool withZone)
{
    std::size_t i = 0;
    if (!parseDate(s, i)) {
        return false;
    }
    if (i < s.size() && s[i] == 'T') {
        ++i;
        if (!parseTime(s, i)) {
            return false;
        }
        if (withZone && !parseZone(s, i)) {
            return false;
        }
    }
    return i == s.size();
}

bool isTime(std::string_view s, bool withZone)
{
    std::size_t i = 0;
    if (!parseTime(s, i)) {
        return false;
    }
    if (withZone && !parseZone(s, i)) {
        return false;
    }
    return i == s.size();
}

bool isUuid(std::string_view s)
{
    static constexpr std::size_t kGroups[] = {8, 4, 4, 4, 12};
    std::size_t hex = 0;
    for (char c : s) {
        if (isHex(c)) {
            ++hex;
        } else if (c != '-') {
            return false;
        }
    }
    if (hex != 32) {
        return false;
    }
    if (s.find('-') == std::string_view::npos) {
        return true;
    }
    std::size_t i = 0;
    for (std::size_t g = 0; g < 5; ++g) {
        for (std::size_t k = 0; k < kGroups[g]; ++k, ++i) {
            if (i >= s.size() || !isHex(s[i])) {
                return false;
            }
        }
        if (g < 4) {
            if (i >= s.size() || s[i] != '-') {
                return false;
            }
            ++i;
        }
    }
    return i == s.size();
}

bool isBase64(std::string_view s, std::size_t& bytes)
{
    std::size_t count = 0;
    std::size_t padding = 0;
    for (char c : s) {
        if (detail::isXmlSpace(c)) {
            continue;
        }
        const bool alphabet = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || isDigit(c) || c == '+' || c == '/';
        if (c == '=') {
            ++padding;
        } else if (!alphabet || padding > 0) {
            return false;
        }
        ++count;
    }
    if (count % 4 != 0 || padding > 2) {
        return false;
    }
    bytes = count / 4 * 3 - padding;
    return true;
}

bool isNmtoken(std::string_view s)
{
    if (s.empty()) {
        return false;
    }
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        const bool ok = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || isDigit(c) || c == '_' || c == '-' ||
                        c == '.' || c == ':' || u >= 0x80;
        if (!ok) {
            return false;
        }
    }
    return true;
}

bool isName(std::string_view s)
{
    const auto colon = s.find(':');
    if (colon == std::string_view::npos) {
        return detail::isNcName(s);
    }
    return detail::isNcName(s.substr(0, colon)) && detail::isNcName(s.substr(colon + 1));
}

template <typename Check>
bool eachToken(std::string_view s, Check check)
{
    bool any = false;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && detail::isXmlSpace(s[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < s.size() && !detail::isXmlSpace(s[i])) {
            ++i;
        }
        if (i > start) {
            any = true;
            if (!check(s.substr(start, i - start))) {
                return false;
            }
        }
    }
    return any;
}

std::size_t codePoints(std::string_view s)
{
    std::size_t n = 0;
    for (char c : s) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++n;
        }
    }
    return n;
}

std::string listOf(const std::vector<std::string>& values)
{
    std::string out;
    for (const auto& v : values) {
        out += out.empty() ? "" : ", ";
        out += "'" + v + "'";
    }
    return out;
}

}  // namespace

bool dataTypeKind(std::string_view name, DataType::Kind& kind)
{
    for (const auto& entry : kKinds) {
        if (entry.name == name) {
            kind = entry.kind;
            return true;
        }
    }
    return false;
}

bool checkValue(const DataType& type, std::string_view value, std::string& why)
{
    const std::string_view trimmed = detail::trimXmlSpace(value);
    std::size_t length = codePoints(value);
    bool ok = true;
    switch (type.kind) {
    case Kind::String:
    case Kind::Uri:
        break;
    case Kind::Id:
    case Kind::Idref:
    case Kind::Entity:
        ok = isName(trimmed);
        break;
    case Kind::Idrefs:
    case Kind::Entities:
        ok = eachToken(trimmed, isName);
        break;
    case Kind::Nmtoken:
        ok = isNmtoken(trimmed);
        break;
    case Kind::Nmtokens:
        ok = eachToken(trimmed, isNmtoken);
        break;
    case Kind::Enumeration:
    case Kind::Notation:
        ok = false;
        for (const auto& allowed : type.values) {
            ok = ok || allowed == value;
        }
        if (!ok) {
            why = "is not one of " + listOf(type.values);
            return false;
        }
        break;
    case Kind::Number:
    case Kind::Float:
        ok = isNumber(trimmed);
        break;
    case Kind::Fixed14_4:
        ok = isFixed14_4(trimmed);
        break;
    case Kind::Int:
    case Kind::I4:
        ok = signedInRange(trimmed, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
        break;
    case Kind::I1:
        ok = signedInRange(trimmed, -128, 127);
        break;
    case Kind::I2:
        ok = signedInRange(trimmed, -32768, 32767);
        break;
    case Kind::I8:
        ok = signedInRange(trimmed, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max());
        break;
    case Kind::UI1:
        ok = unsignedInRange(trimmed, 0xFF);
        break;
    case Kind::UI2:
        ok = unsignedInRange(trimmed, 0xFFFF);
        break;
    case Kind::UI4:
        ok = unsignedInRange(trimmed, 0xFFFFFFFFu);
        break;
    case Kind::UI8:
        ok = unsignedInRange(trimmed, std::numeric_limits<std::uint64_t>::max());
        break;
    case Kind::Boolean:
        ok = trimmed == "0" || trimmed == "1";
        break;
    case Kind::Char:
        ok = codePoints(value) == 1;
        break;
    case Kind::Date: {
        std::size_t i = 0;
        ok = parseDate(trimmed, i) && i == trimmed.size();
        break;
    }
    case Kind::DateTime:
        ok = isDateTime(trimmed, false);
        break;
    case Kind::DateTimeTz:
        ok = isDateTime(trimmed, true);
        break;
    case Kind::Time:
        ok = isTime(trimmed, false);
        break;
    case Kind::TimeTz:
        ok = isTime(trimmed, true);
        break;
    case Kind::Uuid:
        ok = isUuid(trimmed);
        break;
    case Kind::BinHex:
        ok = trimmed.size() % 2 == 0;
        for (char c : trimmed) {
            ok = ok && isHex(c);
        }
        length = trimmed.size() / 2;
        break;
    case Kind::BinBase64:
        ok = isBase64(trimmed, length);
        break;
    }
    if (!ok) {
        why = "is not a valid value of type '" + type.name + "'";
        return false;
    }
    if (type.maxLength && length > *type.maxLength) {
        why = "is longer than " + std::to_string(*type.maxLength);
        return false;
    }
    if (type.minLength && length < *type.minLength) {
        why = "is shorter than " + std::to_string(*type.minLength);
        return false;
    }
    return true;
}

}  // namespace xml
