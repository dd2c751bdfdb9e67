#include "engine/description/description_document.h"

#include "engine/description/description_namespaces.h"
#include "engine/description/dtm_exception.h"

namespace engine {

std::string parserErrorMessage(const xml::ParseError& error) {
    std::string message = "Parser Error at line ";
    message += std::to_string(error.line);
    message += ", at pos ";
    message += std::to_string(error.column);
    message += " \nReason: ";
    message += error.reason;
    return message;
}

void loadDescriptionFile(const std::string& path, xml::Document& document) {
    document.setValidateOnParse(false);
    document.setAsync(false);
    if (!document.load(path)) {
        const xml::ParseError& error = document.parseError();
        throw CDTMException(parserErrorMessage(error), static_cast<int32_t>(error.code));
    }
}

void bindDescriptionPrefix(xml::Document& document, std::string_view namespaceUri) {
    document.setProperty("SelectionLanguage", "XPath");
    document.setProperty("SelectionNamespaces", userSelectionNamespaces(namespaceUri));
}

xml::Document loadDescriptionDocument(const std::string& path, std::string_view namespaceUri) {
    xml::Document document;
    loadDescriptionFile(path, document);
    bindDescriptionPrefix(document, namespaceUri);
    return document;
}

}  // namespace engine
