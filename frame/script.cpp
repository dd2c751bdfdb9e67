#include "frame/script.h"

#include <charconv>
#include <cstdlib>

namespace frame {
namespace {

// How a verb takes its arguments.
enum class Form {
    Words,      // minWords..maxWords words
    Text,       // the rest of the line, not empty
    IdAndText,  // a parameter id, then the rest of the line (may be empty)
};

enum class Check { None, ParameterId, Number, BindCount };

struct Verb {
    std::string_view name;
    Form form;
    int minWords;
    int maxWords;
    Check check;
    std::string_view usage;
};

constexpr Verb kVerbs[] = {
    {"register", Form::Text, 0, 0, Check::None, "register LIBRARY"},
    {"unregister", Form::Text, 0, 0, Check::None, "unregister LIBRARY"},
    {"create", Form::Words, 1, 1, Check::None, "create PROGID"},
    {"bind", Form::Words, 1, 4, Check::BindCount,
     "bind PACKAGE | bind ZOR DESCRIPTION ICON LANGUAGE"},
    {"environment", Form::Words, 0, 1, Check::None, "environment [SYSTEMTAG]"},
    {"initnew", Form::Words, 0, 0, Check::None, "initnew"},
    {"config", Form::Words, 1, 1, Check::None, "config USERLEVEL"},
    {"language", Form::Words, 1, 1, Check::Number, "language LANGID"},
    {"setcommunication", Form::Words, 0, 0, Check::None, "setcommunication"},
    {"releasecommunication", Form::Words, 0, 0, Check::None, "releasecommunication"},
    {"information", Form::Words, 0, 0, Check::None, "information"},
    {"identification", Form::Words, 0, 0, Check::None, "identification"},
    {"functions", Form::Words, 0, 1, Check::None, "functions [OPERATIONPHASE]"},
    {"activex", Form::Words, 1, 1, Check::Number, "activex FUNCTIONID"},
    {"parameters", Form::Words, 0, 0, Check::None, "parameters"},
    {"setparameters", Form::Text, 0, 0, Check::None, "setparameters FILE"},
    {"upload", Form::Words, 0, 0, Check::None, "upload"},
    {"download", Form::Words, 0, 0, Check::None, "download"},
    {"get", Form::Words, 1, 1, Check::ParameterId, "get ID"},
    {"set", Form::IdAndText, 0, 0, Check::ParameterId, "set ID TEXT"},
    {"action", Form::Text, 0, 0, Check::None, "action SCRIPT"},
    {"answer", Form::Words, 1, 64, Check::None, "answer BUTTON..."},
    {"wait", Form::Words, 1, 1, Check::Number, "wait MS"},
    {"save", Form::Text, 0, 0, Check::None, "save FILE"},
    {"load", Form::Text, 0, 0, Check::None, "load FILE"},
    {"release", Form::Words, 0, 0, Check::None, "release"},
    {"fault", Form::Text, 0, 0, Check::None, "fault SPEC"},
    {"scan", Form::Words, 0, 1, Check::None, "scan [FIRST-LAST]"},
    // Views, run by dtmframe's view host.
    {"view", Form::Words, 1, 1, Check::Number, "view FUNCTIONID"},
    {"menu", Form::Text, 0, 0, Check::None, "menu KEY/KEY/..."},
    {"press", Form::Text, 0, 0, Check::None, "press CAPTION"},
    {"type", Form::IdAndText, 0, 0, Check::ParameterId, "type ID TEXT"},
    {"choose", Form::IdAndText, 0, 0, Check::ParameterId, "choose ID ENTRY"},
    {"shot", Form::Text, 0, 0, Check::None, "shot FILE.png"},
    {"closeview", Form::Words, 0, 0, Check::None, "closeview"},
};

const Verb* findVerb(std::string_view name) {
    for (const Verb& verb : kVerbs) {
        if (verb.name == name) return &verb;
    }
    return nullptr;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

struct Word {
    std::string text;
    std::size_t begin;  // offset of its first character in the line (its quote)
    bool quoted;
};

// Splits a line into words; stops at a comment. The line's length without
// its comment goes to `end`. False (with `error`) for an unterminated quote.
bool splitWords(std::string_view line, std::vector<Word>& words, std::size_t& end,
                std::string& error) {
    std::size_t i = 0;
    end = line.size();
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) ++i;
        if (i >= line.size()) break;
        if (line[i] == '#') {
            end = i;
            break;
        }
        Word word{{}, i, line[i] == '"'};
        if (word.quoted) {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < line.size() && (line[i] == '"' || line[i] == '\\')) {
                    word.text += line[i++];
                } else {
                    word.text += c;
                }
            }
            if (!closed) {
                error = "unterminated quote";
                return false;
            }
        } else {
            while (i < line.size() && !isBlank(line[i])) word.text += line[i++];
        }
        words.push_back(std::move(word));
    }
    while (end > 0 && isBlank(line[end - 1])) --end;
    return true;
}

std::string_view trim(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start])) ++start;
    std::size_t end = text.size();
    while (end > start && isBlank(text[end - 1])) --end;
    return text.substr(start, end - start);
}

// The arguments after word `from` as written; a single quoted word stands for its content.
std::string restFrom(std::string_view line, const std::vector<Word>& words, std::size_t from,
                     std::size_t end) {
    if (from >= words.size()) return {};
    if (words.size() == from + 1 && words[from].quoted) return words[from].text;
    return std::string(trim(line.substr(words[from].begin, end - words[from].begin)));
}

std::string checkArguments(const Verb& verb, const ScriptLine& line) {
    const int count = static_cast<int>(line.words.size());
    std::string usage = "usage: " + std::string(verb.usage);
    switch (verb.form) {
        case Form::Words:
            if (count < verb.minWords || count > verb.maxWords) return usage;
            break;
        case Form::Text:
            if (line.rest.empty()) return usage;
            break;
        case Form::IdAndText:
            if (count < 1) return usage;
            break;
    }
    switch (verb.check) {
        case Check::None:
            break;
        case Check::ParameterId:
            if (!parseParameterId(line.words.front()))
                return "'" + line.words.front() + "' is no parameter id";
            break;
        case Check::Number:
            if (!parseNumber(line.words.front()))
                return "'" + line.words.front() + "' is no number";
            break;
        case Check::BindCount:
            if (count != 1 && count != 4) return usage;
            break;
    }
    return {};
}

}  // namespace

std::optional<std::int32_t> parseParameterId(std::string_view text) {
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    if (value < -2147483648LL || value > 4294967295LL) return std::nullopt;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::optional<long> parseNumber(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || value < 0)
        return std::nullopt;
    return value;
}

LineRead readScriptLine(std::string_view text, int number) {
    LineRead read;
    std::vector<Word> words;
    std::size_t end = 0;
    if (!splitWords(text, words, end, read.error)) return read;
    if (words.empty()) return read;
    const Verb* verb = findVerb(words.front().text);
    if (!verb || words.front().quoted) {
        read.error = "unknown command '" + words.front().text + "'";
        return read;
    }
    ScriptLine line;
    line.number = number;
    line.text = std::string(trim(text.substr(0, end)));
    line.command = words.front().text;
    for (std::size_t i = 1; i < words.size(); ++i) line.words.push_back(words[i].text);
    line.rest = restFrom(text, words, verb->form == Form::IdAndText ? 2 : 1, end);
    if (std::string problem = checkArguments(*verb, line); !problem.empty()) {
        read.error = line.command + ": " + problem;
        return read;
    }
    read.line = std::move(line);
    return read;
}

ScriptRead readScript(std::string_view text) {
    ScriptRead script;
    int number = 0;
    for (;;) {
        ++number;
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        LineRead read = readScriptLine(line, number);
        if (!read.error.empty()) {
            script.errorLine = number;
            script.error = std::move(read.error);
            return script;
        }
        if (read.line) script.lines.push_back(std::move(*read.line));
        if (end == std::string_view::npos) break;
    }
    return script;
}

std::string scriptUsage() {
    std::string usage;
    for (const Verb& verb : kVerbs) {
        usage += "  ";
        usage += verb.usage;
        usage += '\n';
    }
    return usage;
}

}  // namespace frame
