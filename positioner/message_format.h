#pragma once
// Filling a translated text that carries one printf-style conversion. The
// texts come from the language file, so they are data, never handed to printf
// as a format: only the first conversion that fits the argument (%s for a
// text; %f, %e, %g and their upper-case forms for a number) is filled, "%%"
// becomes "%", and every other conversion is kept as written.

#include <cstddef>
#include <string>
#include <string_view>

namespace positioner {

std::string formatWithText(std::string_view format, std::string_view argument);
std::string formatWithNumber(std::string_view format, double argument);

// At most maxCharacters characters (UTF-8 sequences are kept whole).
std::string cutToCharacters(std::string text, std::size_t maxCharacters);

}  // namespace positioner
