#pragma once
// The command numbers ("user:addressing/user:code_hart") of the block
// parameters of a description, both ways, for the pointer parameters whose
// values are parameters named by their command number. Built once per model
// on first use instead of an XPath search through the whole description per
// value. Device interfaces are looked for at any depth but not inside one
// another; within each, "user:block/user:parameter" in document order, the
// first parameter of a code or reference id winning.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/xml/node.h"

namespace engine {

class CodeIndex {
public:
    // Indexes the description that `anyNode` belongs to.
    explicit CodeIndex(const xml::Node& anyNode);

    // The code of the parameter whose reference_id attribute reads
    // `referenceId`, in any device interface; nullopt when none.
    std::optional<std::string> codeOfParameter(std::string_view referenceId) const;
    // The reference_id attribute of the first parameter of a "hart" interface
    // whose addressing holds that code; nullopt when none.
    std::optional<std::string> parameterOfCode(std::string_view code) const;

private:
    void addInterface(const xml::Node& deviceInterface);

    std::unordered_map<std::string, std::string> codeOfReference_;
    std::unordered_map<std::string, std::string> hartReferenceOfCode_;
};

}  // namespace engine
