#pragma once

#include <libxml/tree.h>

#include <memory>
#include <string>
#include <string_view>

// Small helpers over libxml2 for the simulator's own readers (description and
// profile). Parsing never touches the network, loads no DTD and substitutes
// no entities.
namespace simulator::xmlread {

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocFree>;

// A parsed document, or null with `error` saying where and why it failed.
DocPtr parseFile(const std::string& path, std::string& error);
DocPtr parseText(std::string_view text, std::string& error);

// True for an element with this local name, in `ns` (empty: any namespace or none).
bool isElement(const xmlNode* node, std::string_view localName, std::string_view ns);

// First child element with this local name in `ns`, or null.
const xmlNode* firstChild(const xmlNode* parent, std::string_view localName, std::string_view ns);

// Attribute without namespace; empty when absent. `present` tells the two apart.
std::string attribute(const xmlNode* node, const char* name, bool* present = nullptr);

// The element's text content (all descendant text), untrimmed.
std::string text(const xmlNode* node);

std::string_view trim(std::string_view text);

}  // namespace simulator::xmlread
