#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/xml/parse_error.h"

namespace xml {

class Document;
struct XdrSchema;

// A collection of XDR schemas keyed by namespace URI, like MSXML's
// XMLSchemaCache40 (namespaces of the form "x-schema:" + file name).
//
// Validation checks every element and attribute whose namespace has a schema
// in the cache; elements of other namespaces are passed over, their children
// are still looked at. Types that one schema names from another
// (type="fdt:tag" with xmlns:fdt bound to another namespace) are looked up in
// the cache at validation time, so schemas may be added in any order.
//
// Content models: model="closed" admits only what the ElementType declares;
// model="open" (the XDR default) further admits child elements and attributes
// of other namespaces than the schema's own, anywhere. Undeclared elements and
// unqualified attributes are refused in both models, so misspellings are
// caught. Inside order="many" particles repeat freely (minOccurs/maxOccurs of
// its members have no effect). Default values of attributes are checked
// against their type; a required attribute with a default must carry exactly
// that value; defaults are not inserted into documents.
class SchemaCache {
public:
    SchemaCache();
    ~SchemaCache();
    SchemaCache(SchemaCache&&) noexcept;
    SchemaCache& operator=(SchemaCache&&) noexcept;

    // Compiles `schema` (root element "Schema" in
    // "urn:schemas-microsoft-com:xml-data") and stores it under `namespaceURI`,
    // replacing an earlier one. On failure (code InvalidSchema, with the
    // position in the schema document) the cache is unchanged.
    ParseError add(std::string_view namespaceURI, const Document& schema);
    void remove(std::string_view namespaceURI);
    bool contains(std::string_view namespaceURI) const;
    std::size_t length() const;
    std::vector<std::string> namespaces() const;

    // Checks `document` (code Validation on failure; Empty without a root).
    ParseError validate(const Document& document) const;

    // For the validator: the compiled schema of a namespace, or null.
    const XdrSchema* find(std::string_view namespaceURI) const;

private:
    std::map<std::string, std::shared_ptr<const XdrSchema>, std::less<>> schemas_;
};

}  // namespace xml
