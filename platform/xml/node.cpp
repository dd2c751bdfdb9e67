#include "platform/xml/node.h"

#include <libxml/tree.h>

#include "platform/xml/document_state_p.h"
#include "platform/xml/libxml_support_p.h"
#include "platform/xml/serializer_p.h"
#include "platform/xml/text_check_p.h"
#include "platform/xml/xpath_p.h"

namespace xml {

using detail::bad;
using detail::cstr;
using detail::str;

namespace {

xmlAttr* asAttr(xmlNode* n) { return reinterpret_cast<xmlAttr*>(n); }
xmlNode* asNode(xmlAttr* a) { return reinterpret_cast<xmlNode*>(a); }

bool isElement(const xmlNode* n) { return n != nullptr && n->type == XML_ELEMENT_NODE; }

// Children that the DOM shows: not those of attributes (their value),
// entity references (the declaration) or the DTD (its declarations).
bool hasVisibleChildren(const xmlNode* n)
{
    return n != nullptr && (n->type == XML_ELEMENT_NODE || n->type == XML_DOCUMENT_NODE);
}

xmlAttr* findAttribute(xmlNode* element, std::string_view name)
{
    for (xmlAttr* a = element->properties; a != nullptr; a = a->next) {
        if (detail::qualifiedName(asNode(a)) == name) {
            return a;
        }
    }
    return nullptr;
}

xmlAttr* findAttributeNS(xmlNode* element, std::string_view uri, std::string_view local)
{
    for (xmlAttr* a = element->properties; a != nullptr; a = a->next) {
        if (str(a->name) == local && (a->ns ? str(a->ns->href) : std::string()) == uri) {
            return a;
        }
    }
    return nullptr;
}

xmlNs* findDeclaration(xmlNode* element, const std::string& prefix)
{
    for (xmlNs* ns = element->nsDef; ns != nullptr; ns = ns->next) {
        if (str(ns->prefix) == prefix) {
            return ns;
        }
    }
    return nullptr;
}

// The namespace a prefix has at `element`: declarations on it and its
// ancestors, and the prefixes of the elements' own names (which serialise
// with their declaration).
xmlNs* resolvePrefix(xmlNode* element, const std::string& prefix)
{
    for (xmlNode* n = element; n != nullptr && n->type == XML_ELEMENT_NODE; n = n->parent) {
        if (xmlNs* declared = findDeclaration(n, prefix)) {
            return declared;
        }
        if (n->ns != nullptr && str(n->ns->prefix) == prefix) {
            return n->ns;
        }
    }
    return nullptr;
}

void setAttributeValue(xmlDocPtr doc, xmlAttr* attr, std::string_view value)
{
    xmlNode* text = xmlNewDocTextLen(doc, bad(std::string(value).c_str()), static_cast<int>(value.size()));
    if (text == nullptr) {
        throw Error(ErrorKind::OutOfMemory, "Out of memory while setting an attribute.");
    }
    xmlFreeNodeList(attr->children);
    text->parent = asNode(attr);
    attr->children = text;
    attr->last = text;
}

void linkLastChild(xmlNode* parent, xmlNode* child)
{
    child->parent = parent;
    child->next = nullptr;
    child->prev = parent->last;
    if (parent->last != nullptr) {
        parent->last->next = child;
    } else {
        parent->children = child;
    }
    parent->last = child;
}

void linkLastAttribute(xmlNode* element, xmlAttr* attr)
{
    attr->parent = element;
    attr->next = nullptr;
    attr->prev = nullptr;
    if (element->properties == nullptr) {
        element->properties = attr;
        return;
    }
    xmlAttr* last = element->properties;
    while (last->next != nullptr) {
        last = last->next;
    }
    last->next = attr;
    attr->prev = last;
}

// Puts `fresh` where `old` was and detaches `old`.
void replaceAttribute(xmlNode* element, xmlAttr* old, xmlAttr* fresh)
{
    fresh->parent = element;
    fresh->prev = old->prev;
    fresh->next = old->next;
    if (old->prev != nullptr) {
        old->prev->next = fresh;
    } else {
        element->properties = fresh;
    }
    if (old->next != nullptr) {
        old->next->prev = fresh;
    }
    old->parent = nullptr;
    old->prev = nullptr;
    old->next = nullptr;
}

[[noreturn]] void nullNode() { throw Error(ErrorKind::InvalidArgument, "The node is null."); }

}  // namespace

NodeType Node::nodeType() const
{
    if (node_ == nullptr) {
        return NodeType::Invalid;
    }
    switch (node_->type) {
    case XML_ELEMENT_NODE: return NodeType::Element;
    case XML_ATTRIBUTE_NODE: return NodeType::Attribute;
    case XML_TEXT_NODE: return NodeType::Text;
    case XML_CDATA_SECTION_NODE: return NodeType::CData;
    case XML_ENTITY_REF_NODE: return NodeType::EntityReference;
    case XML_ENTITY_DECL: return NodeType::Entity;
    case XML_PI_NODE: return NodeType::ProcessingInstruction;
    case XML_COMMENT_NODE: return NodeType::Comment;
    case XML_DOCUMENT_NODE: return NodeType::Document;
    case XML_DTD_NODE: return NodeType::DocumentType;
    case XML_DOCUMENT_FRAG_NODE: return NodeType::DocumentFragment;
    case XML_NOTATION_NODE: return NodeType::Notation;
    default: return NodeType::Invalid;
    }
}

std::string Node::nodeName() const
{
    if (node_ == nullptr) {
        return {};
    }
    switch (node_->type) {
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE: return detail::qualifiedName(node_);
    case XML_TEXT_NODE: return "#text";
    case XML_CDATA_SECTION_NODE: return "#cdata-section";
    case XML_COMMENT_NODE: return "#comment";
    case XML_DOCUMENT_NODE: return "#document";
    case XML_DOCUMENT_FRAG_NODE: return "#document-fragment";
    default: return str(node_->name);
    }
}

std::string Node::baseName() const
{
    if (node_ == nullptr || node_->type == XML_TEXT_NODE || node_->type == XML_COMMENT_NODE ||
        node_->type == XML_CDATA_SECTION_NODE || node_->type == XML_DOCUMENT_NODE) {
        return {};
    }
    return str(node_->name);
}

std::string Node::prefix() const
{
    if (node_ == nullptr || (node_->type != XML_ELEMENT_NODE && node_->type != XML_ATTRIBUTE_NODE) ||
        node_->ns == nullptr) {
        return {};
    }
    return str(node_->ns->prefix);
}

std::string Node::namespaceURI() const { return detail::namespaceOf(node_); }

bool Node::isElementNamed(std::string_view localName, std::string_view namespaceURI) const
{
    if (node_ == nullptr || node_->type != XML_ELEMENT_NODE || node_->name == nullptr) {
        return false;
    }
    if (localName != reinterpret_cast<const char*>(node_->name)) {
        return false;
    }
    const xmlChar* href = node_->ns != nullptr ? node_->ns->href : nullptr;
    return namespaceURI == (href != nullptr ? reinterpret_cast<const char*>(href) : "");
}

std::string Node::text() const
{
    const bool trim = state_ != nullptr && !state_->preserveWhiteSpace;
    return detail::nodeText(node_, trim);
}

void Node::setText(std::string_view value)
{
    if (node_ == nullptr) {
        nullNode();
    }
    detail::requireCharData(value, "text");
    switch (node_->type) {
    case XML_ELEMENT_NODE: {
        xmlNode* text = nullptr;
        if (!value.empty()) {
            text = xmlNewDocTextLen(state_->doc, bad(std::string(value).c_str()), static_cast<int>(value.size()));
            if (text == nullptr) {
                throw Error(ErrorKind::OutOfMemory, "Out of memory while setting text.");
            }
        }
        while (xmlNode* child = node_->children) {
            xmlUnlinkNode(child);
            state_->keepDetached(child);
        }
        if (text != nullptr) {
            linkLastChild(node_, text);
        }
        return;
    }
    case XML_ATTRIBUTE_NODE:
        setAttributeValue(state_->doc, asAttr(node_), value);
        return;
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        if (node_->type == XML_PI_NODE && value.find("?>") != std::string_view::npos) {
            throw Error(ErrorKind::InvalidArgument, "Processing instruction data may not contain \"?>\".");
        }
        xmlNodeSetContent(node_, bad(std::string(value).c_str()));
        return;
    default:
        throw Error(ErrorKind::InvalidArgument, "The text of this node cannot be set.");
    }
}

std::string Node::xml() const { return detail::serializeNode(node_); }

std::optional<std::string> Node::getAttribute(std::string_view name) const
{
    if (!isElement(node_)) {
        return std::nullopt;
    }
    if (name == "xmlns" || name.substr(0, 6) == "xmlns:") {
        const std::string prefix = name == "xmlns" ? std::string() : std::string(name.substr(6));
        if (xmlNs* ns = findDeclaration(node_, prefix)) {
            return str(ns->href);
        }
        return std::nullopt;
    }
    if (xmlAttr* a = findAttribute(node_, name)) {
        return detail::nodeText(asNode(a), false);
    }
    return std::nullopt;
}

std::optional<std::string> Node::getAttributeNS(std::string_view namespaceURI, std::string_view localName) const
{
    if (!isElement(node_)) {
        return std::nullopt;
    }
    if (xmlAttr* a = findAttributeNS(node_, namespaceURI, localName)) {
        return detail::nodeText(asNode(a), false);
    }
    return std::nullopt;
}

namespace {

void declareNamespace(xmlNode* element, const std::string& prefix, std::string_view uriView)
{
    const std::string uri(uriView);
    if (prefix == "xml" || prefix == "xmlns") {
        throw Error(ErrorKind::InvalidArgument, "The prefix '" + prefix + "' cannot be declared.");
    }
    if (!prefix.empty() && uri.empty()) {
        throw Error(ErrorKind::InvalidArgument, "The prefix '" + prefix + "' cannot be bound to an empty URI.");
    }
    if (uri == detail::cstr(XML_XML_NAMESPACE) || uri == "http://www.w3.org/2000/xmlns/") {
        throw Error(ErrorKind::InvalidArgument, "The namespace '" + uri + "' is reserved by XML.");
    }
    const std::string own = element->ns ? str(element->ns->href) : std::string();
    const std::string ownPrefix = element->ns ? str(element->ns->prefix) : std::string();
    if (prefix == ownPrefix && own != uri) {
        throw Error(ErrorKind::InvalidArgument, "Element '" + detail::qualifiedName(element) + "' is in namespace '" +
                                                    own + "'; it cannot declare " +
                                                    (prefix.empty() ? "xmlns" : "xmlns:" + prefix) + "='" + uri +
                                                    "'.");
    }
    for (xmlAttr* a = element->properties; a != nullptr; a = a->next) {
        if (!prefix.empty() && a->ns != nullptr && str(a->ns->prefix) == prefix && str(a->ns->href) != uri) {
            throw Error(ErrorKind::InvalidArgument, "Attribute '" + detail::qualifiedName(asNode(a)) +
                                                        "' already uses the prefix for another namespace.");
        }
    }
    if (xmlNs* existing = findDeclaration(element, prefix)) {
        if (str(existing->href) != uri) {
            throw Error(ErrorKind::InvalidArgument, "The prefix is already declared on this element for '" +
                                                        str(existing->href) + "'.");
        }
        return;
    }
    if (xmlNewNs(element, bad(uri.c_str()), prefix.empty() ? nullptr : bad(prefix.c_str())) == nullptr) {
        throw Error(ErrorKind::OutOfMemory, "Out of memory while declaring a namespace.");
    }
}

}  // namespace

void Node::setAttribute(std::string_view name, std::string_view value)
{
    if (!isElement(node_)) {
        throw Error(ErrorKind::InvalidArgument, "Attributes can only be set on elements.");
    }
    detail::requireCharData(value, "attribute value");
    if (name == "xmlns" || name.substr(0, 6) == "xmlns:") {
        const std::string prefix = name == "xmlns" ? std::string() : std::string(name.substr(6));
        if (!prefix.empty() && !detail::isNcName(prefix)) {
            throw Error(ErrorKind::InvalidArgument, "'" + std::string(name) + "' is not a valid attribute name.");
        }
        declareNamespace(node_, prefix, value);
        return;
    }
    const auto colon = name.find(':');
    const std::string prefix = colon == std::string_view::npos ? std::string() : std::string(name.substr(0, colon));
    const std::string local = colon == std::string_view::npos ? std::string(name) : std::string(name.substr(colon + 1));
    if (!detail::isNcName(local) || (colon != std::string_view::npos && !detail::isNcName(prefix))) {
        throw Error(ErrorKind::InvalidArgument, "'" + std::string(name) + "' is not a valid attribute name.");
    }
    if (xmlAttr* existing = findAttribute(node_, name)) {
        setAttributeValue(state_->doc, existing, value);
        return;
    }
    xmlNs* ns = nullptr;
    if (!prefix.empty()) {
        ns = prefix == "xml" ? state_->pooledNamespace("xml", detail::cstr(XML_XML_NAMESPACE))
                             : resolvePrefix(node_, prefix);
        if (ns == nullptr) {
            // The text would not read back as XML with namespaces.
            throw Error(ErrorKind::InvalidArgument, "The prefix '" + prefix + "' of attribute '" + std::string(name) +
                                                        "' is not declared on element '" +
                                                        detail::qualifiedName(node_) + "' or its ancestors.");
        }
    }
    xmlAttr* attr = xmlNewDocProp(state_->doc, bad(local.c_str()), nullptr);
    if (attr == nullptr) {
        throw Error(ErrorKind::OutOfMemory, "Out of memory while creating an attribute.");
    }
    attr->ns = ns;
    try {
        setAttributeValue(state_->doc, attr, value);
    } catch (...) {
        xmlFreeProp(attr);
        throw;
    }
    linkLastAttribute(node_, attr);
}

Node Node::getAttributeNode(std::string_view name) const
{
    if (!isElement(node_)) {
        return {};
    }
    xmlAttr* a = findAttribute(node_, name);
    return a ? Node(state_, asNode(a)) : Node();
}

Node Node::setAttributeNode(Node attribute)
{
    if (!isElement(node_)) {
        throw Error(ErrorKind::InvalidArgument, "Attributes can only be set on elements.");
    }
    if (attribute.node_ == nullptr || attribute.node_->type != XML_ATTRIBUTE_NODE) {
        throw Error(ErrorKind::InvalidArgument, "setAttributeNode needs an attribute node.");
    }
    if (attribute.state_ != state_) {
        throw Error(ErrorKind::WrongDocument, "The attribute belongs to another document.");
    }
    xmlAttr* fresh = asAttr(attribute.node_);
    if (fresh->parent != nullptr) {
        throw Error(ErrorKind::Hierarchy, "The attribute already belongs to an element.");
    }
    const std::string uri = fresh->ns ? str(fresh->ns->href) : std::string();
    if (xmlAttr* old = findAttributeNS(node_, uri, str(fresh->name))) {
        replaceAttribute(node_, old, fresh);
        state_->keepDetached(asNode(old));
        return Node(state_, asNode(old));
    }
    linkLastAttribute(node_, fresh);
    return {};
}

void Node::removeAttribute(std::string_view name)
{
    if (!isElement(node_)) {
        return;
    }
    if (xmlAttr* a = findAttribute(node_, name)) {
        xmlUnlinkNode(asNode(a));
        state_->keepDetached(asNode(a));
    }
}

NodeList Node::attributes() const
{
    NodeList list;
    if (isElement(node_)) {
        for (xmlAttr* a = node_->properties; a != nullptr; a = a->next) {
            list.push_back(Node(state_, asNode(a)));
        }
    }
    return list;
}

Node Node::parentNode() const
{
    if (node_ == nullptr || node_->type == XML_ATTRIBUTE_NODE || node_->type == XML_DOCUMENT_NODE) {
        return {};
    }
    return Node(state_, node_->parent);
}

Node Node::ownerElement() const
{
    if (node_ == nullptr || node_->type != XML_ATTRIBUTE_NODE) {
        return {};
    }
    return Node(state_, node_->parent);
}

Node Node::firstChild() const { return hasVisibleChildren(node_) ? Node(state_, node_->children) : Node(); }
Node Node::lastChild() const { return hasVisibleChildren(node_) ? Node(state_, node_->last) : Node(); }

Node Node::nextSibling() const
{
    if (node_ == nullptr || node_->type == XML_ATTRIBUTE_NODE || node_->type == XML_DOCUMENT_NODE) {
        return {};
    }
    return Node(state_, node_->next);
}

Node Node::previousSibling() const
{
    if (node_ == nullptr || node_->type == XML_ATTRIBUTE_NODE || node_->type == XML_DOCUMENT_NODE) {
        return {};
    }
    return Node(state_, node_->prev);
}

NodeList Node::childNodes() const
{
    NodeList list;
    if (hasVisibleChildren(node_)) {
        for (xmlNode* c = node_->children; c != nullptr; c = c->next) {
            list.push_back(Node(state_, c));
        }
    }
    return list;
}

NodeList Node::childElements() const
{
    NodeList list;
    if (hasVisibleChildren(node_)) {
        for (xmlNode* c = node_->children; c != nullptr; c = c->next) {
            if (c->type == XML_ELEMENT_NODE) {
                list.push_back(Node(state_, c));
            }
        }
    }
    return list;
}

Node Node::appendChild(Node child)
{
    if (node_ == nullptr || child.node_ == nullptr) {
        nullNode();
    }
    if (child.state_ != state_) {
        throw Error(ErrorKind::WrongDocument, "The node belongs to another document.");
    }
    xmlNode* c = child.node_;
    const bool toDocument = node_->type == XML_DOCUMENT_NODE;
    if (!toDocument && node_->type != XML_ELEMENT_NODE) {
        throw Error(ErrorKind::Hierarchy, "Only elements and the document take children.");
    }
    switch (c->type) {
    case XML_ELEMENT_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        break;
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_ENTITY_REF_NODE:
        if (toDocument) {
            throw Error(ErrorKind::Hierarchy, "Text cannot stand at the top level of a document.");
        }
        break;
    default:
        throw Error(ErrorKind::Hierarchy, "A node of this type cannot be appended as a child.");
    }
    // Only a node with children can be an ancestor of this one.
    for (xmlNode* up = node_; up != nullptr && (up == node_ || c->children != nullptr); up = up->parent) {
        if (up == c) {
            throw Error(ErrorKind::Hierarchy, "A node cannot become a child of itself or of its descendants.");
        }
    }
    if (toDocument && c->type == XML_ELEMENT_NODE) {
        xmlNode* root = xmlDocGetRootElement(state_->doc);
        if (root != nullptr && root != c) {
            throw Error(ErrorKind::Hierarchy, "The document already has a root element.");
        }
    }
    if (c->parent != nullptr) {
        xmlUnlinkNode(c);
    }
    linkLastChild(node_, c);
    return child;
}

NodeList Node::selectNodes(std::string_view xpath) const
{
    if (node_ == nullptr) {
        nullNode();
    }
    NodeList list;
    for (xmlNode* n : detail::evaluateNodes(state_->doc, node_, xpath, state_->selectionNamespaces)) {
        list.push_back(Node(state_, n));
    }
    return list;
}

Node Node::selectSingleNode(std::string_view xpath) const
{
    NodeList list = selectNodes(xpath);
    return list.empty() ? Node() : list.front();
}

}  // namespace xml
