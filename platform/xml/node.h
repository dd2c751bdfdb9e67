#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct _xmlNode;

namespace xml {

class Document;
class Node;
struct DocumentState;

// DOM node types, numbered as the DOM numbers them.
enum class NodeType {
    Invalid = 0,
    Element = 1,
    Attribute = 2,
    Text = 3,
    CData = 4,
    EntityReference = 5,
    Entity = 6,
    ProcessingInstruction = 7,
    Comment = 8,
    Document = 9,
    DocumentType = 10,
    DocumentFragment = 11,
    Notation = 12,
};

using NodeList = std::vector<Node>;

// A light, copyable handle to a node of a Document. It does not own the node:
// it stays valid as long as the Document it came from lives and has not been
// reloaded (load/loadXML replace the whole tree). Nodes that are taken out of
// the tree (replaced attributes, children replaced by setText) stay alive
// until the Document goes, so a handle never dangles while its Document lives.
// A default-constructed Node is null; every accessor of a null node answers an
// empty value, and every modifier throws Error(InvalidArgument).
class Node {
public:
    Node() = default;

    bool isNull() const { return node_ == nullptr; }
    explicit operator bool() const { return node_ != nullptr; }
    friend bool operator==(const Node& a, const Node& b) { return a.node_ == b.node_; }

    NodeType nodeType() const;
    // Qualified name as written ("fdt:tag"); "#text", "#comment", "#cdata-section",
    // "#document"; the target of a processing instruction.
    std::string nodeName() const;
    // Local part of the name ("tag" for "fdt:tag"); MSXML calls it baseName.
    std::string baseName() const;
    std::string localName() const { return baseName(); }
    std::string prefix() const;
    // True for an element with that local name in that namespace (empty: none).
    // Copies nothing: for walks over large documents.
    bool isElementNamed(std::string_view localName, std::string_view namespaceURI) const;
    // Namespace URI of an element or attribute; empty when it has none.
    std::string namespaceURI() const;

    // Element or document: the text of all descendants, leading and trailing
    // white space removed unless the document preserves white space.
    // Attribute: its value. Text, comment, CDATA, PI: its content.
    std::string text() const;
    // Element: replaces all children by one text node. Attribute: sets the value.
    // Text, comment, CDATA, PI: sets the content. The text is taken literally
    // (no entity or markup interpretation). Texts given to any setter or
    // creator must be valid UTF-8 made of XML characters (no NUL, no control
    // characters besides tab, line feed and carriage return); otherwise
    // Error(InvalidArgument) and nothing changes.
    void setText(std::string_view value);

    // Serialisation of this node and its subtree (for an element: its start
    // tag with every namespace declaration it needs, no XML declaration).
    std::string xml() const;

    // --- attributes (elements only; other node types answer nothing) ---

    // Value of the attribute whose qualified name is `name` ("busAddress",
    // "fdt:tag"); "xmlns" and "xmlns:p" answer the namespace declarations.
    std::optional<std::string> getAttribute(std::string_view name) const;
    // Value of the attribute with that namespace URI (empty: none) and local name.
    std::optional<std::string> getAttributeNS(std::string_view namespaceURI,
                                              std::string_view localName) const;
    bool hasAttribute(std::string_view name) const { return getAttribute(name).has_value(); }
    // Sets the attribute of that qualified name, keeping its place when it exists
    // and appending it after the others when it is new. "xmlns" and "xmlns:p"
    // declare namespaces on this element (an element's own namespace cannot be
    // redeclared to a different URI: Error(InvalidArgument)). A prefixed name
    // takes the namespace that its prefix has in scope here (declarations and
    // prefixes of element names on this element and its ancestors), so set it
    // after appending the element; an unbound prefix is Error(InvalidArgument).
    void setAttribute(std::string_view name, std::string_view value);
    // The attribute node of that qualified name, or a null node.
    Node getAttributeNode(std::string_view name) const;
    // Adds an attribute node made by Document::createNode (which fixes its
    // namespace). An attribute with the same namespace and local name is
    // replaced in place and returned; otherwise the new one is appended and a
    // null node returned. Throws when `attribute` already belongs to an element.
    Node setAttributeNode(Node attribute);
    // Removes the attribute of that qualified name; no effect when absent.
    void removeAttribute(std::string_view name);
    // The element's attribute nodes in order (namespace declarations excluded).
    NodeList attributes() const;

    // --- tree ---

    // Parent node; null for the document node and for attributes (see ownerElement).
    Node parentNode() const;
    // The element an attribute belongs to; null otherwise.
    Node ownerElement() const;
    Node firstChild() const;
    Node lastChild() const;
    Node nextSibling() const;
    Node previousSibling() const;
    NodeList childNodes() const;
    // Child elements only, in document order.
    NodeList childElements() const;
    // Appends `child` as the last child of this element or document and returns
    // it. A child that is already in the tree is moved. Throws Error on a null
    // node, a node of another document, an attribute, a node that would become
    // its own ancestor, or a second root element.
    Node appendChild(Node child);

    // --- XPath 1.0, relative to this node, with the prefixes that the
    //     document's "SelectionNamespaces" binds ---

    // Element, attribute, text, comment and PI nodes in document order
    // (namespace nodes are left out). Throws Error(XPath) when the expression
    // does not compile or does not yield a node set.
    NodeList selectNodes(std::string_view xpath) const;
    // First node of selectNodes, or a null node.
    Node selectSingleNode(std::string_view xpath) const;

    // The raw libxml2 node, for code inside platform/xml.
    _xmlNode* raw() const { return node_; }

private:
    friend class Document;
    friend struct DocumentState;
    Node(DocumentState* state, _xmlNode* node) : state_(state), node_(node) {}

    DocumentState* state_ = nullptr;
    _xmlNode* node_ = nullptr;
};

}  // namespace xml
