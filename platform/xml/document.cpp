#include "platform/xml/document.h"

#include <libxml/parser.h>

#include <cstring>

#include "platform/xml/document_state_p.h"
#include "platform/xml/libxml_support_p.h"
#include "platform/xml/parser_p.h"
#include "platform/xml/schema_cache.h"
#include "platform/xml/serializer_p.h"
#include "platform/xml/text_check_p.h"
#include "platform/xml/xpath_p.h"

namespace xml {

using detail::bad;
using detail::str;

// --- DocumentState ---

DocumentState::DocumentState()
{
    detail::ensureLibxml();
    clear();
}

DocumentState::~DocumentState() { release(); }

void DocumentState::release()
{
    // Free detached subtrees first (they may use the document's dictionary),
    // only those that are still roots: the rest went down with their roots or
    // went back into the tree.
    std::vector<xmlNode*> roots;
    for (xmlNode* n : detached) {
        if (n->parent == nullptr) {
            roots.push_back(n);
        }
    }
    for (xmlNode* n : roots) {
        if (n->type == XML_ATTRIBUTE_NODE) {
            xmlFreeProp(reinterpret_cast<xmlAttr*>(n));
        } else {
            xmlFreeNode(n);
        }
    }
    detached.clear();
    if (doc != nullptr) {
        xmlFreeDoc(doc);
        doc = nullptr;
    }
    for (xmlNsPtr ns : namespacePool) {
        xmlFreeNs(ns);
    }
    namespacePool.clear();
}

void DocumentState::clear()
{
    release();
    doc = xmlNewDoc(bad("1.0"));
    if (doc == nullptr) {
        throw Error(ErrorKind::OutOfMemory, "Out of memory while creating a document.");
    }
}

void DocumentState::adopt(xmlDocPtr parsed)
{
    release();
    doc = parsed;
}

xmlNsPtr DocumentState::pooledNamespace(const std::string& prefix, const std::string& href)
{
    for (xmlNsPtr ns : namespacePool) {
        if (str(ns->prefix) == prefix && str(ns->href) == href) {
            return ns;
        }
    }
    // Built by hand: xmlNewNs refuses the "xml" prefix, and these namespaces
    // belong to no element.
    auto* ns = static_cast<xmlNsPtr>(xmlMalloc(sizeof(xmlNs)));
    if (ns == nullptr) {
        throw Error(ErrorKind::OutOfMemory, "Out of memory while creating a namespace.");
    }
    std::memset(ns, 0, sizeof(xmlNs));
    ns->type = XML_LOCAL_NAMESPACE;
    ns->href = xmlStrdup(bad(href.c_str()));
    ns->prefix = prefix.empty() ? nullptr : xmlStrdup(bad(prefix.c_str()));
    if (ns->href == nullptr || (!prefix.empty() && ns->prefix == nullptr)) {
        xmlFreeNs(ns);
        throw Error(ErrorKind::OutOfMemory, "Out of memory while creating a namespace.");
    }
    namespacePool.push_back(ns);
    return ns;
}

// --- Document ---

Document::Document() : state_(std::make_unique<DocumentState>()) {}
Document::~Document() = default;
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;

void Document::setValidateOnParse(bool on) { state_->validateOnParse = on; }
bool Document::validateOnParse() const { return state_->validateOnParse; }
void Document::setAsync(bool on) { state_->async = on; }
bool Document::async() const { return state_->async; }
void Document::setResolveExternals(bool on) { state_->resolveExternals = on; }
bool Document::resolveExternals() const { return state_->resolveExternals; }
void Document::setPreserveWhiteSpace(bool on) { state_->preserveWhiteSpace = on; }
bool Document::preserveWhiteSpace() const { return state_->preserveWhiteSpace; }

void Document::setSchemaCache(std::shared_ptr<const SchemaCache> cache) { state_->schemaCache = std::move(cache); }
const std::shared_ptr<const SchemaCache>& Document::schemaCache() const { return state_->schemaCache; }

namespace {

bool loadBytes(Document& document, DocumentState& state, std::string_view bytes, const detail::ParseOptions& options)
{
    detail::ParseOutcome outcome = detail::parseBytes(bytes, options);
    if (outcome.error.failed()) {
        state.clear();
        state.parseError = std::move(outcome.error);
        return false;
    }
    state.adopt(outcome.doc);
    if (state.validateOnParse && state.schemaCache) {
        ParseError invalid = state.schemaCache->validate(document);
        if (invalid.failed()) {
            state.clear();
            state.parseError = std::move(invalid);
            return false;
        }
    }
    state.parseError = {};
    return true;
}

}  // namespace

bool Document::load(const std::string& path)
{
    std::string bytes;
    ParseError readError = detail::readFile(path, bytes);
    if (readError.failed()) {
        state_->clear();
        state_->parseError = std::move(readError);
        return false;
    }
    detail::ParseOptions options;
    options.preserveWhiteSpace = state_->preserveWhiteSpace;
    options.url = path.c_str();
    return loadBytes(*this, *state_, bytes, options);
}

bool Document::loadXML(std::string_view text)
{
    detail::ParseOptions options;
    options.preserveWhiteSpace = state_->preserveWhiteSpace;
    options.ignoreDeclaredEncoding = true;
    return loadBytes(*this, *state_, text, options);
}

const ParseError& Document::parseError() const { return state_->parseError; }

void Document::setProperty(std::string_view name, std::string_view value)
{
    if (name == "SelectionLanguage") {
        if (value != "XPath") {
            throw Error(ErrorKind::InvalidArgument,
                        "SelectionLanguage '" + std::string(value) + "' is not supported; use XPath.");
        }
        return;
    }
    if (name == "SelectionNamespaces") {
        auto parsed = detail::parseSelectionNamespaces(value);
        state_->selectionNamespaces = std::move(parsed);
        state_->selectionNamespacesText = std::string(value);
        return;
    }
    throw Error(ErrorKind::InvalidArgument, "Unknown document property '" + std::string(name) + "'.");
}

std::string Document::getProperty(std::string_view name) const
{
    if (name == "SelectionLanguage") {
        return "XPath";
    }
    if (name == "SelectionNamespaces") {
        return state_->selectionNamespacesText;
    }
    throw Error(ErrorKind::InvalidArgument, "Unknown document property '" + std::string(name) + "'.");
}

bool Document::empty() const { return xmlDocGetRootElement(state_->doc) == nullptr; }

Node Document::documentElement() const { return state_->wrap(xmlDocGetRootElement(state_->doc)); }

Node Document::asNode() const { return state_->wrap(reinterpret_cast<xmlNode*>(state_->doc)); }

NodeList Document::childNodes() const { return asNode().childNodes(); }

namespace {

constexpr std::string_view kXmlnsNamespace = "http://www.w3.org/2000/xmlns/";

struct SplitName {
    std::string prefix;
    std::string local;
};

SplitName splitQualifiedName(std::string_view qualifiedName)
{
    const auto colon = qualifiedName.find(':');
    SplitName name;
    if (colon == std::string_view::npos) {
        name.local = std::string(qualifiedName);
    } else {
        name.prefix = std::string(qualifiedName.substr(0, colon));
        name.local = std::string(qualifiedName.substr(colon + 1));
    }
    if ((colon != std::string_view::npos && !detail::isNcName(name.prefix)) || !detail::isNcName(name.local)) {
        throw Error(ErrorKind::InvalidArgument, "'" + std::string(qualifiedName) + "' is not a valid qualified name.");
    }
    return name;
}

}  // namespace

Node Document::createNode(NodeType type, std::string_view qualifiedName, std::string_view namespaceURI)
{
    DocumentState& st = *state_;
    xmlNode* created = nullptr;
    switch (type) {
    case NodeType::Element:
    case NodeType::Attribute: {
        SplitName name = splitQualifiedName(qualifiedName);
        detail::requireCharData(namespaceURI, "namespace URI");
        if (name.prefix == "xmlns" || (name.prefix.empty() && name.local == "xmlns")) {
            throw Error(ErrorKind::InvalidArgument, "Namespace declarations are made with setAttribute(\"" +
                                                        std::string(qualifiedName) + "\", uri).");
        }
        const bool xmlPrefix = name.prefix == "xml";
        const bool xmlUri = namespaceURI == detail::cstr(XML_XML_NAMESPACE);
        if (xmlPrefix != xmlUri || namespaceURI == kXmlnsNamespace) {
            throw Error(ErrorKind::InvalidArgument, "'" + std::string(qualifiedName) + "' in namespace '" +
                                                        std::string(namespaceURI) + "' is reserved by XML.");
        }
        if (!name.prefix.empty() && namespaceURI.empty()) {
            throw Error(ErrorKind::InvalidArgument,
                        "The prefixed name '" + std::string(qualifiedName) + "' needs a namespace URI.");
        }
        xmlNsPtr ns = namespaceURI.empty() ? nullptr : st.pooledNamespace(name.prefix, std::string(namespaceURI));
        if (type == NodeType::Element) {
            created = xmlNewDocNode(st.doc, ns, bad(name.local.c_str()), nullptr);
        } else {
            xmlAttr* attr = xmlNewDocProp(st.doc, bad(name.local.c_str()), nullptr);
            if (attr != nullptr) {
                attr->ns = ns;
            }
            created = reinterpret_cast<xmlNode*>(attr);
        }
        break;
    }
    case NodeType::Text:
        created = xmlNewDocText(st.doc, bad(""));
        break;
    case NodeType::CData:
        created = xmlNewCDataBlock(st.doc, bad(""), 0);
        break;
    case NodeType::Comment:
        created = xmlNewDocComment(st.doc, bad(""));
        break;
    case NodeType::ProcessingInstruction:
        return createProcessingInstruction(qualifiedName, "");
    default:
        throw Error(ErrorKind::InvalidArgument, "Nodes of this type cannot be created.");
    }
    if (created == nullptr) {
        throw Error(ErrorKind::OutOfMemory, "Out of memory while creating a node.");
    }
    st.keepDetached(created);
    return st.wrap(created);
}

Node Document::createTextNode(std::string_view text)
{
    detail::requireCharData(text, "text");
    xmlNode* created = xmlNewDocTextLen(state_->doc, bad(std::string(text).c_str()), static_cast<int>(text.size()));
    if (created == nullptr) {
        throw Error(ErrorKind::OutOfMemory, "Out of memory while creating a text node.");
    }
    state_->keepDetached(created);
    return state_->wrap(created);
}

Node Document::createComment(std::string_view text)
{
    detail::requireCharData(text, "comment");
    if (text.find("--") != std::string_view::npos || (!text.empty() && text.back() == '-')) {
        throw Error(ErrorKind::InvalidArgument, "A comment may not contain \"--\" or end with \"-\".");
    }
    xmlNode* created = xmlNewDocComment(state_->doc, bad(std::string(text).c_str()));
    if (created == nullptr) {
        throw Error(ErrorKind::OutOfMemory, "Out of memory while creating a comment.");
    }
    state_->keepDetached(created);
    return state_->wrap(created);
}

Node Document::createProcessingInstruction(std::string_view target, std::string_view data)
{
    if (!detail::isNcName(target)) {
        throw Error(ErrorKind::InvalidArgument, "'" + std::string(target) + "' is not a valid PI target.");
    }
    detail::requireCharData(data, "processing instruction data");
    if (data.find("?>") != std::string_view::npos) {
        throw Error(ErrorKind::InvalidArgument, "Processing instruction data may not contain \"?>\".");
    }
    xmlNode* created = xmlNewDocPI(state_->doc, bad(std::string(target).c_str()), bad(std::string(data).c_str()));
    if (created == nullptr) {
        throw Error(ErrorKind::OutOfMemory, "Out of memory while creating a processing instruction.");
    }
    state_->keepDetached(created);
    return state_->wrap(created);
}

Node Document::appendChild(Node child) { return asNode().appendChild(child); }

NodeList Document::selectNodes(std::string_view xpath) const { return asNode().selectNodes(xpath); }

Node Document::selectSingleNode(std::string_view xpath) const { return asNode().selectSingleNode(xpath); }

std::string Document::xml() const { return detail::serializeDocument(state_->doc); }

ParseError Document::validate() const
{
    if (!state_->schemaCache) {
        ParseError e;
        e.code = ErrorCode::NoSchemaCache;
        e.reason = "No schema cache is attached to the document.";
        return e;
    }
    return state_->schemaCache->validate(*this);
}

}  // namespace xml
