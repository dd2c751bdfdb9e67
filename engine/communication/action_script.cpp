#include "engine/communication/action_script.h"

#include <cctype>

namespace engine::communication {
namespace {

bool isSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// Leading decimal digits, wrapping modulo 2^32.
uint32_t leadingDigits(std::string_view text) {
    uint32_t value = 0;
    for (size_t i = 0; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10u + static_cast<uint32_t>(text[i] - '0');
    }
    return value;
}

// Position just past the element's "]", or npos when it has none.
size_t elementEnd(std::string_view rest) {
    const size_t close = rest.find(']');
    return close == std::string_view::npos ? close : close + 1;
}

void runSetValue(std::string_view element, ScriptTarget& target) {
    const size_t equals = element.find('=');
    if (equals == std::string_view::npos) return;
    const ParameterId id = element.size() > 9 ? parseLeadingDecimal(element.substr(9)) : 0;
    const std::string_view value = element.substr(equals + 1, element.size() - 1 - (equals + 1));
    target.setValue(id, std::string(value));
}

}  // namespace

void runActionScript(std::string_view script, ScriptTarget& target) {
    std::string_view rest = script;
    while (!rest.empty()) {
        rest = trimmed(rest);
        if (rest.empty()) break;
        const bool keyword = startsWith(rest, "startprogress") ||
                             startsWith(rest, "stopprogress") || startsWith(rest, "upload") ||
                             startsWith(rest, "download") || startsWith(rest, "setvalue");
        if (!keyword) {
            rest.remove_prefix(1);
            continue;
        }
        const size_t end = elementEnd(rest);
        if (end == std::string_view::npos) return;
        const std::string_view element = rest.substr(0, end);
        if (startsWith(rest, "startprogress")) {
            const size_t open = element.find('[');
            if (open == std::string_view::npos) return;
            const std::string title(element.substr(open + 1, end - 1 - (open + 1)));
            target.startProgress(target.translatedString(title));
        } else if (startsWith(rest, "stopprogress")) {
            target.stopProgress();
        } else if (startsWith(rest, "upload") || startsWith(rest, "download")) {
            target.queueCommands(element);
        } else {
            runSetValue(element, target);
        }
        rest.remove_prefix(end);
    }
}

CommandElement parseCommandElement(std::string_view element) {
    CommandElement result;
    result.isDownload = contains(element, "download");
    result.isFirst = contains(element, "first");
    size_t pos = 0;
    while (pos < element.size()) {
        const size_t stop = element.find_first_of("[] ,", pos);
        const size_t end = stop == std::string_view::npos ? element.size() : stop;
        const std::string_view token = element.substr(pos, end - pos);
        pos = end + 1;
        if (token.empty() || !isDigit(token.front())) continue;
        CommandReference command{leadingDigits(token), 0};
        const size_t open = token.find('(');
        if (open != std::string_view::npos && token.find(')', open) != std::string_view::npos) {
            command.index = leadingDigits(token.substr(open + 1));
        }
        result.commands.push_back(command);
    }
    return result;
}

}  // namespace engine::communication
