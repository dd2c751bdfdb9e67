#pragma once
// Frame scripts: one command a line, "#" at the start of a word beginning a
// comment. Arguments are blank-separated words; a word may be written in
// double quotes to hold blanks (\" and \\ inside quotes). Commands whose
// last argument is a text or a path (set, action, save, ...) take the rest of
// the line as written, so scripts such as "upload[3, 154]" need no quotes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace frame {

struct ScriptLine {
    int number = 0;                  // 1-based line number in its source
    std::string text;                // the command as written, comment and outer blanks removed
    std::string command;             // the verb
    std::vector<std::string> words;  // the arguments, quotes removed
    std::string rest;                // the arguments as written; one quoted word: its content
};

struct LineRead {
    std::optional<ScriptLine> line;  // nullopt for a blank or comment line (and on error)
    std::string error;               // non-empty when the line cannot be read
};

// Reads and checks one line: the verb must be known and its arguments fit.
LineRead readScriptLine(std::string_view text, int number);

struct ScriptRead {
    std::vector<ScriptLine> lines;
    int errorLine = 0;  // the first line that cannot be read; 0: none
    std::string error;
    bool ok() const { return errorLine == 0; }
};

// Reads a whole script; stops at the first line that cannot be read.
ScriptRead readScript(std::string_view text);

// The verbs and their argument forms, for help texts.
std::string scriptUsage();

// Parameter ids: decimal, from -2147483648 to 4294967295 (the high ones
// stand for their 32-bit pattern).
std::optional<std::int32_t> parseParameterId(std::string_view text);
// Decimal or 0x-prefixed hexadecimal, not negative.
std::optional<long> parseNumber(std::string_view text);

}  // namespace frame
