#pragma once

// Serialisation of libxml2 trees as MSXML writes them. Internal to platform/xml.

#include <libxml/tree.h>

#include <string>

namespace xml::detail {

// A node and its subtree, UTF-8, no XML declaration. Every element carries
// the namespace declarations it was given plus those its own name and its
// attributes need and that are not in scope within the serialised subtree.
// Attributes keep their order; declarations come first.
std::string serializeNode(const xmlNode* node);

// Every top-level node of the document, each followed by a line feed.
std::string serializeDocument(const xmlDoc* doc);

}  // namespace xml::detail
