#pragma once

// The state behind a Document and its Node handles. Internal to platform/xml.

#include <libxml/tree.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/xml/node.h"
#include "platform/xml/parse_error.h"

namespace xml {

class SchemaCache;

struct DocumentState {
    DocumentState();
    ~DocumentState();
    DocumentState(const DocumentState&) = delete;
    DocumentState& operator=(const DocumentState&) = delete;

    // Frees the tree, the detached nodes and the namespace pool, and starts
    // a fresh empty document.
    void clear();
    // Takes over a parsed tree (after clear()).
    void adopt(xmlDocPtr parsed);

    Node wrap(xmlNode* node) { return Node(this, node); }
    // A namespace object for nodes made by createNode; owned by the pool
    // (libxml2 frees only namespaces declared on elements).
    xmlNsPtr pooledNamespace(const std::string& prefix, const std::string& href);
    // Remembers a node that is not (or no longer) in the tree, so that it is
    // freed with the document and handles to it never dangle meanwhile.
    void keepDetached(xmlNode* node) { detached.push_back(node); }

    xmlDocPtr doc = nullptr;
    std::vector<xmlNsPtr> namespacePool;
    std::vector<xmlNode*> detached;

    std::vector<std::pair<std::string, std::string>> selectionNamespaces;  // prefix, URI
    std::string selectionNamespacesText;

    bool validateOnParse = true;
    bool async = true;
    bool resolveExternals = false;
    bool preserveWhiteSpace = false;
    std::shared_ptr<const SchemaCache> schemaCache;
    ParseError parseError;

private:
    void release();
};

}  // namespace xml
