#pragma once

#include <string>
#include <string_view>

#include "platform/xml/document.h"
#include "platform/xml/parse_error.h"

namespace engine {

// "Parser Error at line <line>, at pos <column> \nReason: <reason>", of any length.
std::string parserErrorMessage(const xml::ParseError& error);

// Loads a description file into document without validation. On failure the
// document is empty and CDTMException carries parserErrorMessage, with the
// parse error's code as its code.
void loadDescriptionFile(const std::string& path, xml::Document& document);

// Binds the XPath prefix "user" of document to namespaceUri (selection
// language XPath). Raises xml::Error for a URI that cannot be bound.
void bindDescriptionPrefix(xml::Document& document, std::string_view namespaceUri);

// loadDescriptionFile followed by bindDescriptionPrefix.
xml::Document loadDescriptionDocument(const std::string& path, std::string_view namespaceUri);

}  // namespace engine
