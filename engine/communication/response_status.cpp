#include "engine/communication/response_status.h"

#include <array>

#include "engine/communication/command_key.h"

namespace engine::communication {
namespace {

struct StatusBit {
    uint32_t mask;
    std::string_view text;
};

constexpr std::array<StatusBit, 6> kStatusBits{{
    {0x82, "rx buffer overflow\n"},
    {0x84, "(reserved)\n"},
    {0x88, "checksum error\n"},
    {0x90, "framing error\n"},
    {0xA0, "overrun error\n"},
    {0xC0, "parity error\n"},
}};

// The value of a decimal text modulo 2^32 (leading digits; none gives 0).
uint32_t decimalValue(std::string_view text) {
    return parseCommandKey(text);
}

}  // namespace

std::string communicationStatusText(std::string_view value) {
    const uint32_t status = decimalValue(value) & 0xFFu;
    std::string text;
    for (const StatusBit& bit : kStatusBits) {
        if ((status & bit.mask) == bit.mask) text += bit.text;
    }
    return text;
}

uint8_t responseCodeOf(std::string_view value) {
    return static_cast<uint8_t>(decimalValue(value) & 0xFFu);
}

uint8_t effectiveResponseCode(std::string_view value, std::string_view ignoredCodes) {
    if (ignoredCodes.find(value) != std::string_view::npos) return 0;
    return responseCodeOf(value);
}

std::string responseCodeKey(std::string_view value) {
    std::string key = "CMDResponse";
    key += value;
    return key;
}

}  // namespace engine::communication
