#pragma once

// XPath 1.0 selection over libxml2. Internal to platform/xml.

#include <libxml/tree.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/xml/parse_error.h"

namespace xml::detail {

// Parses the "SelectionNamespaces" form: "xmlns:p='uri' xmlns:q=\"uri\"".
// A default declaration ("xmlns='uri'") is accepted and has no effect on
// XPath (which has no default namespace). Throws Error(InvalidArgument).
std::vector<std::pair<std::string, std::string>> parseSelectionNamespaces(std::string_view text);

// Evaluates `expression` with `context` as context node and the given
// prefixes bound. Answers element, attribute, text, comment, PI and document
// nodes in document order. Throws Error(XPath) when the expression does not
// compile, fails, or yields no node set.
std::vector<xmlNode*> evaluateNodes(xmlDocPtr doc, xmlNode* context, std::string_view expression,
                                    const std::vector<std::pair<std::string, std::string>>& prefixes);

}  // namespace xml::detail
