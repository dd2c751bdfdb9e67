#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/xml/node.h"
#include "platform/xml/parse_error.h"

namespace xml {

class SchemaCache;

// Limits for outside input. A document beyond them is refused with a ParseError.
inline constexpr std::size_t kMaxDocumentBytes = 64u * 1024u * 1024u;  // ErrorCode::TooLarge
inline constexpr int kMaxNestingDepth = 128;                           // ErrorCode::TooDeep
inline constexpr std::size_t kMaxEntityExpansion = 1024u * 1024u;     // ErrorCode::EntityExpansion

// An owning XML DOM document with the behaviour of an MSXML 4.0 DOMDocument:
// loading with parse errors, validation against a schema cache, XPath
// selection with bound prefixes, namespace-aware creation and serialisation.
//
// Input is parsed without network access, without loading DTDs or external
// entities (they are never opened) and without substituting entities.
// Not thread-safe: one document is used by one thread at a time; distinct
// documents may be used on distinct threads. A moved-from Document may only be
// destroyed or assigned to; Node handles follow the content to its new owner.
class Document {
public:
    Document();  // an empty document (no root element)
    ~Document();
    Document(Document&&) noexcept;
    Document& operator=(Document&&) noexcept;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // --- switches (MSXML defaults: validateOnParse true, async true,
    //     resolveExternals false, preserveWhiteSpace false) ---

    // Validate against the attached schema cache while loading; a document
    // that breaks it fails to load. Without a schema cache nothing is checked.
    void setValidateOnParse(bool on);
    bool validateOnParse() const;
    // Accepted for compatibility; loading is always synchronous.
    void setAsync(bool on);
    bool async() const;
    // Accepted for compatibility; external resources are never resolved.
    void setResolveExternals(bool on);
    bool resolveExternals() const;
    // Keep white-space-only text between elements when loading, and leave
    // element text() untrimmed.
    void setPreserveWhiteSpace(bool on);
    bool preserveWhiteSpace() const;

    // Schemas used by validate-on-parse loads and by validate(). The document
    // shares ownership; null detaches.
    void setSchemaCache(std::shared_ptr<const SchemaCache> cache);
    const std::shared_ptr<const SchemaCache>& schemaCache() const;

    // --- loading: replaces the whole content; every Node handle of the former
    //     content becomes invalid. On failure the document is empty and
    //     parseError() says why. ---

    bool load(const std::string& path);
    // `text` is UTF-8; an encoding named in its XML declaration is ignored.
    bool loadXML(std::string_view text);
    // Outcome of the last load or loadXML (code None after success).
    const ParseError& parseError() const;

    // --- properties ---
    //   "SelectionLanguage": only "XPath" is accepted.
    //   "SelectionNamespaces": "xmlns:p='uri' xmlns:q=\"uri\"", separated by
    //   white space; replaces the earlier bindings; "" clears them.
    // Throws Error(InvalidArgument) for another name or a malformed value; the
    // earlier value stays then.
    void setProperty(std::string_view name, std::string_view value);
    // Current value of a property named above; Error(InvalidArgument) otherwise.
    std::string getProperty(std::string_view name) const;

    // --- content ---

    bool empty() const;  // no root element
    Node documentElement() const;
    Node asNode() const;  // the document node itself
    NodeList childNodes() const;

    // Creates an unattached node of this document. Element and Attribute take
    // a qualified name ("fdt:VersionInformation") and a namespace URI (empty:
    // none); for other types the name is ignored except for
    // ProcessingInstruction (its target). Throws Error(InvalidArgument) for a
    // type that cannot be created or a name that is not a valid qualified name,
    // and for a prefix without a namespace URI.
    Node createNode(NodeType type, std::string_view qualifiedName, std::string_view namespaceURI);
    Node createElement(std::string_view name) { return createNode(NodeType::Element, name, {}); }
    Node createAttribute(std::string_view name) { return createNode(NodeType::Attribute, name, {}); }
    Node createTextNode(std::string_view text);
    Node createComment(std::string_view text);
    // createProcessingInstruction("xml", "version=\"1.0\" encoding=\"UTF-8\"")
    // gives the XML declaration, written first by xml().
    Node createProcessingInstruction(std::string_view target, std::string_view data);
    // Appends a top-level node (root element, PI, comment); at most one element.
    Node appendChild(Node child);

    NodeList selectNodes(std::string_view xpath) const;
    Node selectSingleNode(std::string_view xpath) const;

    // Whole document: every top-level node (the XML declaration when present,
    // then the root element), each followed by a line feed. UTF-8.
    std::string xml() const;

    // Validates the current content against the attached schema cache.
    ParseError validate() const;

private:
    std::unique_ptr<DocumentState> state_;
};

}  // namespace xml
