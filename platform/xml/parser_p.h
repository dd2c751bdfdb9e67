#pragma once

// Hardened parsing of outside input into a libxml2 tree. Internal to platform/xml.

#include <libxml/tree.h>

#include <string>
#include <string_view>

#include "platform/xml/parse_error.h"

namespace xml::detail {

struct ParseOptions {
    bool preserveWhiteSpace = false;
    bool ignoreDeclaredEncoding = false;  // text is already UTF-8
    const char* url = nullptr;            // base name kept on the document; never opened
};

struct ParseOutcome {
    xmlDocPtr doc = nullptr;  // owned by the caller; null on failure
    ParseError error;
};

// Parses `bytes` without network access, DTD loading, external entities or
// entity substitution, within the size, depth and entity-expansion limits of
// document.h. Records the source position of every element. An XML
// declaration of the input is kept as a leading "xml" processing instruction.
ParseOutcome parseBytes(std::string_view bytes, const ParseOptions& options);

// Reads a file of at most kMaxDocumentBytes into `out`.
ParseError readFile(const std::string& path, std::string& out);

}  // namespace xml::detail
