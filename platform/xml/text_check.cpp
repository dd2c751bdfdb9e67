#include "platform/xml/text_check_p.h"

#include <libxml/tree.h>

#include <cstdint>
#include <string>

#include "platform/xml/parse_error.h"

namespace xml::detail {

bool isXmlCharData(std::string_view text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        std::uint32_t c = *p;
        int extra = 0;
        if (c < 0x80) {
            extra = 0;
        } else if ((c & 0xE0) == 0xC0) {
            c &= 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            c &= 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            c &= 0x07;
            extra = 3;
        } else {
            return false;
        }
        if (end - p < extra + 1) {
            return false;  // sequence cut off
        }
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) {
                return false;
            }
            c = (c << 6) | (p[i] & 0x3F);
        }
        static constexpr std::uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
        if (c < kMinimum[extra]) {
            return false;  // overlong form
        }
        const bool isChar = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                            (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
        if (!isChar) {
            return false;
        }
        p += extra + 1;
    }
    return true;
}

bool isNcName(std::string_view name)
{
    if (name.empty()) {
        return false;
    }
    bool ascii = true;
    for (char c : name) {
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    if (!ascii) {
        // The full table of name characters is libxml2's.
        const std::string copy(name);
        return isXmlCharData(name) && copy.find('\0') == std::string::npos &&
               xmlValidateNCName(reinterpret_cast<const xmlChar*>(copy.c_str()), 0) == 0;
    }
    auto start = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    auto rest = [&](char c) { return start(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; };
    if (!start(name.front())) {
        return false;
    }
    for (char c : name.substr(1)) {
        if (!rest(c)) {
            return false;
        }
    }
    return true;
}

void requireCharData(std::string_view text, const char* what)
{
    if (!isXmlCharData(text)) {
        throw Error(ErrorKind::InvalidArgument,
                    std::string(what) + " is not valid UTF-8 XML text (NUL, control character or bad byte sequence).");
    }
}

}  // namespace xml::detail
