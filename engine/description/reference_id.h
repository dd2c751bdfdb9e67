#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

// A parameter reference id: the number that names a parameter everywhere.
using ParameterId = int32_t;

// Ids with a fixed meaning.
inline constexpr ParameterId kShortAddressId = 1;
inline constexpr ParameterId kDeviceTagId = 1122622930;
inline constexpr ParameterId kIgnoredResponseCodesId = 1274278243;

// Reads a decimal number the way the description's numeric attributes are
// read: leading blanks skipped, an optional sign, then the leading digits; text
// after them is ignored ("12abc" gives 12) and text without digits gives 0.
// Values beyond the 32-bit range saturate at its ends instead of wrapping.
int32_t parseLeadingDecimal(std::string_view text);

// The unsigned decimal form of an id, as data-set texts and XPath templates
// write it ("%lu" of the 32-bit pattern).
std::string formatReferenceId(ParameterId id);

}  // namespace engine
