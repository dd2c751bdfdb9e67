#include "platform/xml/libxml_support_p.h"

#include <libxml/parser.h>
#include <libxml/entities.h>

#include <cstdint>
#include <mutex>

namespace xml::detail {
namespace {

thread_local ErrorSink* tSink = nullptr;

// Our parses never open anything beyond the bytes they were given.
xmlParserInputPtr refusingLoader(const char*, const char*, xmlParserCtxtPtr)
{
    return nullptr;
}

void silentGeneric(void*, const char*, ...) {}

}  // namespace

void ensureLibxml()
{
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

QuietScope::QuietScope(ErrorSink* sink)
{
    ensureLibxml();
    savedSink_ = tSink;
    tSink = sink;
    savedHandler_ = xmlStructuredError;
    savedContext_ = xmlStructuredErrorContext;
    savedGeneric_ = xmlGenericError;
    savedGenericContext_ = xmlGenericErrorContext;
    xmlSetStructuredErrorFunc(nullptr, ErrorSink::toCurrentScope);
    xmlSetGenericErrorFunc(nullptr, silentGeneric);
    // The loader is process-wide state of libxml2, shared by every module of
    // the process. It is ours only for the scope: a loader left installed
    // would point into a module's code after that module is unloaded.
    savedLoader_ = xmlGetExternalEntityLoader();
    xmlSetExternalEntityLoader(refusingLoader);
}

QuietScope::~QuietScope()
{
    xmlSetExternalEntityLoader(savedLoader_);
    xmlSetGenericErrorFunc(savedGenericContext_, savedGeneric_);
    xmlSetStructuredErrorFunc(savedContext_, savedHandler_);
    tSink = savedSink_;
}

void ErrorSink::record(const xmlError* error)
{
    if (error == nullptr || seen || error->level < XML_ERR_ERROR) {
        return;
    }
    seen = true;
    line = error->line;
    column = error->int2;
    code = error->code;
    message = error->message ? error->message : "unknown error";
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
}

void ErrorSink::toCurrentScope(void*, xmlErrorPtr error)
{
    if (tSink != nullptr) {
        tSink->record(error);
    }
}

std::string qualifiedName(const xmlNode* node)
{
    if (node == nullptr || node->name == nullptr) {
        return {};
    }
    const xmlNs* ns = (node->type == XML_ELEMENT_NODE || node->type == XML_ATTRIBUTE_NODE) ? node->ns : nullptr;
    if (ns != nullptr && ns->prefix != nullptr) {
        return str(ns->prefix) + ":" + str(node->name);
    }
    return str(node->name);
}

std::string namespaceOf(const xmlNode* node)
{
    if (node == nullptr || (node->type != XML_ELEMENT_NODE && node->type != XML_ATTRIBUTE_NODE)) {
        return {};
    }
    return node->ns ? str(node->ns->href) : std::string();
}

bool isXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view trimXmlSpace(std::string_view s)
{
    while (!s.empty() && isXmlSpace(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isXmlSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

namespace {

// Entity nesting is bounded when a document is loaded; this guard only keeps
// a hand-made cycle from recursing without end.
constexpr int kEntityRecursionGuard = 64;

void appendText(const xmlNode* first, std::string& out, int entityDepth);

void appendEntityText(const xmlNode* ref, std::string& out, int entityDepth)
{
    if (entityDepth >= kEntityRecursionGuard) {
        return;
    }
    const auto* entity = reinterpret_cast<const xmlEntity*>(ref->children);
    if (entity == nullptr || entity->type != XML_ENTITY_DECL) {
        return;
    }
    if (entity->etype == XML_INTERNAL_PREDEFINED_ENTITY) {
        out += cstr(entity->content);
        return;
    }
    appendText(entity->children, out, entityDepth + 1);
}

// Walks a sibling list and its descendants without recursion on elements.
void appendText(const xmlNode* first, std::string& out, int entityDepth)
{
    const xmlNode* stopParent = first ? first->parent : nullptr;
    const xmlNode* node = first;
    while (node != nullptr) {
        bool descend = false;
        switch (node->type) {
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            out += cstr(node->content);
            break;
        case XML_ENTITY_REF_NODE:
            appendEntityText(node, out, entityDepth);
            break;
        case XML_ELEMENT_NODE:
            descend = node->children != nullptr;
            break;
        default:
            break;
        }
        if (descend) {
            node = node->children;
            continue;
        }
        while (node != nullptr && node->next == nullptr) {
            node = node->parent;
            if (node == stopParent) {
                return;
            }
        }
        if (node != nullptr) {
            node = node->next;
        }
    }
}

}  // namespace

void appendChildText(const xmlNode* parent, std::string& out)
{
    if (parent != nullptr) {
        appendText(parent->children, out, 0);
    }
}

std::string nodeText(const xmlNode* node, bool trim)
{
    if (node == nullptr) {
        return {};
    }
    std::string out;
    switch (node->type) {
    case XML_ELEMENT_NODE:
    case XML_DOCUMENT_NODE:
        appendChildText(node, out);
        if (trim) {
            return std::string(trimXmlSpace(out));
        }
        return out;
    case XML_ATTRIBUTE_NODE:
        appendChildText(node, out);
        return out;
    case XML_ENTITY_REF_NODE:
        appendEntityText(node, out, 0);
        return out;
    default:
        return str(node->content);
    }
}

void setSourcePosition(xmlNode* node, long line, long column)
{
    static_assert(sizeof(std::uintptr_t) >= 8, "source positions are packed into 64 bits");
    const auto packed = (static_cast<std::uintptr_t>(static_cast<std::uint32_t>(line)) << 32) |
                        static_cast<std::uint32_t>(column);
    node->_private = reinterpret_cast<void*>(packed);
}

void sourcePosition(const xmlNode* node, long& line, long& column)
{
    line = 0;
    column = 0;
    if (node == nullptr) {
        return;
    }
    if (node->type == XML_ATTRIBUTE_NODE) {
        node = node->parent;
        if (node == nullptr) {
            return;
        }
    }
    const auto packed = reinterpret_cast<std::uintptr_t>(node->_private);
    line = static_cast<long>(packed >> 32);
    column = static_cast<long>(packed & 0xffffffffu);
}

}  // namespace xml::detail
