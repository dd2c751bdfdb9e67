#pragma once

#include <string_view>

namespace xml::detail {

// True when `text` is valid UTF-8 and every character is an XML 1.0 Char.
bool isXmlCharData(std::string_view text);
// True for an XML name without a colon (NCName).
bool isNcName(std::string_view name);
// Throws Error(InvalidArgument) naming `what` when isXmlCharData fails.
void requireCharData(std::string_view text, const char* what);

}  // namespace xml::detail
