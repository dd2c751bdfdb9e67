#include <libxml/parser.h>

#include <climits>
#include <cstring>

#include "simulator/xml_reading_p.h"

namespace simulator::xmlread {
namespace {

constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

struct CtxtFree {
    void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};

std::string describe(xmlParserCtxt* ctxt, const std::string& where) {
    const xmlError* err = xmlCtxtGetLastError(ctxt);
    if (err == nullptr || err->message == nullptr)
        return where + ": not a well-formed XML document";
    std::string reason(trim(err->message));
    return where + ":" + std::to_string(err->line) + ": " + reason;
}

}  // namespace

DocPtr parseFile(const std::string& path, std::string& error) {
    std::unique_ptr<xmlParserCtxt, CtxtFree> ctxt(xmlNewParserCtxt());
    if (!ctxt) {
        error = "out of memory";
        return nullptr;
    }
    DocPtr doc(xmlCtxtReadFile(ctxt.get(), path.c_str(), nullptr, kParseOptions));
    if (!doc || xmlDocGetRootElement(doc.get()) == nullptr) {
        error = describe(ctxt.get(), path);
        return nullptr;
    }
    return doc;
}

DocPtr parseText(std::string_view text, std::string& error) {
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        error = "document too large";
        return nullptr;
    }
    std::unique_ptr<xmlParserCtxt, CtxtFree> ctxt(xmlNewParserCtxt());
    if (!ctxt) {
        error = "out of memory";
        return nullptr;
    }
    DocPtr doc(xmlCtxtReadMemory(ctxt.get(), text.data(), static_cast<int>(text.size()), "text",
                                 nullptr, kParseOptions));
    if (!doc || xmlDocGetRootElement(doc.get()) == nullptr) {
        error = describe(ctxt.get(), "text");
        return nullptr;
    }
    return doc;
}

bool isElement(const xmlNode* node, std::string_view localName, std::string_view ns) {
    if (node == nullptr || node->type != XML_ELEMENT_NODE) return false;
    if (localName != reinterpret_cast<const char*>(node->name)) return false;
    if (ns.empty()) return true;
    return node->ns != nullptr && node->ns->href != nullptr &&
           ns == reinterpret_cast<const char*>(node->ns->href);
}

const xmlNode* firstChild(const xmlNode* parent, std::string_view localName, std::string_view ns) {
    if (parent == nullptr) return nullptr;
    for (const xmlNode* child = parent->children; child != nullptr; child = child->next) {
        if (isElement(child, localName, ns)) return child;
    }
    return nullptr;
}

std::string attribute(const xmlNode* node, const char* name, bool* present) {
    xmlChar* value =
        node != nullptr ? xmlGetNoNsProp(node, reinterpret_cast<const xmlChar*>(name)) : nullptr;
    if (present != nullptr) *present = value != nullptr;
    if (value == nullptr) return {};
    std::string result(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return result;
}

std::string text(const xmlNode* node) {
    if (node == nullptr) return {};
    xmlChar* content = xmlNodeGetContent(node);
    if (content == nullptr) return {};
    std::string result(reinterpret_cast<const char*>(content));
    xmlFree(content);
    return result;
}

std::string_view trim(std::string_view text) {
    const char* blanks = " \t\r\n";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

}  // namespace simulator::xmlread
