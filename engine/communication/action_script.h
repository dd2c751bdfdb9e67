#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/description/reference_id.h"

// The action-script language: a sequence of elements, each a keyword with a
// bracketed argument ("setvalue[2093141900=1],download[155]"), everything
// between elements skipped. Interpretation only; what the elements do is the
// business of a ScriptTarget.
namespace engine::communication {

// Receives the effects of a script, in script order.
class ScriptTarget {
public:
    // The display text of a translation key (the progress title).
    virtual std::string translatedString(const std::string& key) = 0;
    virtual void startProgress(const std::string& title) = 0;
    virtual void stopProgress() = 0;
    // An "upload[...]" or "download[...]" element, up to and including its "]".
    virtual void queueCommands(std::string_view element) = 0;
    // A "setvalue[id=value]" element; the result is not checked.
    virtual void setValue(ParameterId id, const std::string& value) = 0;

protected:
    ~ScriptTarget() = default;
};

// Runs a script. Keywords (case-sensitive) are recognised only at the start of
// the remaining text after white space is trimmed from both of its ends; any
// other character is dropped one at a time. A keyword without a closing "]"
// (or a "startprogress" without "[" before that "]") ends the script; a
// "setvalue" element without "=" before its "]" is dropped without effect.
// Exceptions of the target end the run and reach the caller.
void runActionScript(std::string_view script, ScriptTarget& target);

// One command of an upload or download element: its number and addressing
// index (0 without parentheses), both read as leading decimal digits that
// wrap modulo 2^32.
struct CommandReference {
    uint32_t number = 0;
    uint32_t index = 0;

    friend bool operator==(const CommandReference&, const CommandReference&) = default;
};

// An upload or download element taken apart.
struct CommandElement {
    bool isDownload = false;  // the element contains "download"
    bool isFirst = false;     // the element contains "first"
    std::vector<CommandReference> commands;
};

// Splits the element at "[", "]", blank and ","; tokens that do not start with
// an ASCII digit are skipped (the keyword, "first", a tab-prefixed number).
CommandElement parseCommandElement(std::string_view element);

}  // namespace engine::communication
