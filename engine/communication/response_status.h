#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Texts and numbers read from the status part of a DataExchangeResponse.
namespace engine::communication {

// The communication-status text of a HART communication status byte given as
// decimal text: bit 7 marks a communication error, and each further set bit
// appends its line ("rx buffer overflow\n", "(reserved)\n", "checksum
// error\n", "framing error\n", "overrun error\n", "parity error\n", from bit 1
// up). A byte without bit 7, and bit 0 alone, give no text.
std::string communicationStatusText(std::string_view value);

// The HART response code of a decimal text: the low 8 bits of its value.
uint8_t responseCodeOf(std::string_view value);

// The response code counted as success: 0 also when the response text occurs
// anywhere in the text of ignored codes ("1" is found inside "16").
uint8_t effectiveResponseCode(std::string_view value, std::string_view ignoredCodes);

// The language-table key of a response code's message: "CMDResponse" + value.
std::string responseCodeKey(std::string_view value);

// Message-box results that ask for the command to be sent again (OK, retry, yes).
constexpr bool asksForRepeat(int32_t boxResult) {
    return boxResult == 1 || boxResult == 4 || boxResult == 6;
}

}  // namespace engine::communication
