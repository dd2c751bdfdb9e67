// Loads outside input as a document, selects from it, validates it against the
// frame's schema set and against itself taken as a schema, changes it, and
// checks that its serialisation reads back to the same text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/xml/document.h"
#include "platform/xml/schema_cache.h"

namespace {

constexpr const char* kNamespaces =
    "xmlns:user='x-schema:DTMParameterSchema.xml' xmlns:fdt='x-schema:FDTDataTypesSchema.xml' "
    "xmlns:func='x-schema:DTMFunctionsSchema.xml' xmlns:hart='x-schema:FDTHARTCommunicationSchema.xml'";

constexpr const char* kSelections[] = {
    "//*", "//@*", "//text()", "/*/*[1]", "//user:DtmDevice/@fdt:tag", "//fdt:DtmVariable[@name]/fdt:Value",
    "//@func:functionId", "//hart:DataExchangeResponse/hart:Status/@deviceStatus", "//*[local-name()='Schema']//@type",
    "//processing-instruction() | //comment()",
};

std::shared_ptr<xml::SchemaCache> frameSchemas()
{
    auto cache = std::make_shared<xml::SchemaCache>();
    for (const auto& entry : std::filesystem::directory_iterator(HARTDTM_SOURCE_ROOT "/devices/schemas")) {
        xml::Document schema;
        schema.setValidateOnParse(false);
        if (schema.load(entry.path().string()) && schema.documentElement().nodeName() == "Schema") {
            cache->add("x-schema:" + entry.path().filename().string(), schema);
        }
    }
    return cache;
}

bool hasDoctype(const xml::Document& doc)
{
    for (const xml::Node& n : doc.childNodes()) {
        if (n.nodeType() == xml::NodeType::DocumentType) {
            return true;
        }
    }
    return false;
}

void readEverything(const xml::Node& node)
{
    (void)node.nodeName();
    (void)node.namespaceURI();
    (void)node.text();
    (void)node.xml();
    for (const xml::Node& attribute : node.attributes()) {
        (void)attribute.text();
        (void)node.getAttribute(attribute.nodeName());
    }
}

// Read back with every text node kept, the text must be the same; dropping
// blank text (the default) decides by the neighbours, which changes may alter.
void roundTrip(const xml::Document& doc)
{
    if (doc.empty() || hasDoctype(doc)) {
        return;  // entity references need their declarations; compared elsewhere
    }
    const std::string first = doc.documentElement().xml();
    xml::Document again;
    again.setValidateOnParse(false);
    again.setPreserveWhiteSpace(true);
    if (!again.loadXML(first)) {
        std::abort();  // we wrote something we cannot read
    }
    if (again.documentElement().xml() != first) {
        std::abort();  // reading changed the document
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::shared_ptr<xml::SchemaCache> schemas = frameSchemas();
    if (size == 0) {
        return 0;
    }
    const std::uint8_t mode = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const bool preserveWhiteSpace = (mode & 1) != 0;

    xml::Document doc;
    doc.setPreserveWhiteSpace(preserveWhiteSpace);
    doc.setValidateOnParse((mode & 2) != 0);
    doc.setSchemaCache(schemas);
    if (!doc.loadXML(text)) {
        return 0;
    }
    doc.setProperty("SelectionNamespaces", kNamespaces);
    for (const char* selection : kSelections) {
        try {
            for (const xml::Node& node : doc.selectNodes(selection)) {
                readEverything(node);
            }
        } catch (const xml::Error&) {
            // an evaluation limit was reached
        }
    }
    (void)doc.validate();
    roundTrip(doc);

    xml::SchemaCache own;
    if (own.add("x-schema:Fuzz.xml", doc).ok()) {
        (void)own.validate(doc);
    }

    // Changes that the DOM refuses leave the document as it was.
    auto attempt = [](auto change) {
        try {
            change();
        } catch (const xml::Error&) {
        }
    };
    xml::Node root = doc.documentElement();
    attempt([&] { root.setAttribute("xmlns:z", "urn:z"); });
    attempt([&] { root.setAttribute("z:k", "v&<\"\t"); });
    attempt([&] {
        xml::Node added = root.appendChild(doc.createNode(xml::NodeType::Element, "z:added", "urn:z"));
        added.setAttribute("plain", "line\nbreak");
        added.appendChild(doc.createTextNode("a]]>b"));
    });
    attempt([&] { root.appendChild(root.firstChild()); });
    attempt([&] { root.setAttribute("fdt:tag", "changed"); });
    (void)doc.xml();
    roundTrip(doc);
    return 0;
}
