#include "engine/communication/command_key.h"

namespace engine::communication {

std::string formatCommandKey(CommandKey key) {
    return std::to_string(key);
}

CommandKey parseCommandKey(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    uint32_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10u + static_cast<uint32_t>(text[pos] - '0');
    }
    return negative ? 0u - value : value;
}

}  // namespace engine::communication
