#include "engine/communication/communication_documents.h"

#include "platform/xml/schema_cache.h"

namespace engine::communication {
namespace {

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\"?>\n";

void appendEscaped(std::string& out, std::string_view value) {
    for (char c : value) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
}

std::string fdtStartLine() {
    std::string line = "<FDT xmlns=\"";
    line += kHartCommunicationNamespace;
    line += "\" xmlns:fdt=\"";
    line += kDataTypesNamespace;
    line += "\">\n";
    return line;
}

// A document with the UTF-8 declaration and a root "FDT" in namespace ns that
// declares ns as default and the data types as "fdt".
xml::Node startFdtDocument(xml::Document& document, std::string_view ns) {
    document.appendChild(
        document.createProcessingInstruction("xml", "version=\"1.0\" encoding=\"UTF-8\""));
    xml::Node root = document.createNode(xml::NodeType::Element, "FDT", ns);
    root.setAttribute("xmlns", ns);
    root.setAttribute("xmlns:fdt", kDataTypesNamespace);
    document.appendChild(root);
    return root;
}

}  // namespace

std::string responseSelectionNamespaces() {
    std::string value = "xmlns:user='";
    value += kHartCommunicationNamespace;
    value += "' xmlns:fdt='";
    value += kDataTypesNamespace;
    value += '\'';
    return value;
}

std::string connectRequestDocument(std::string_view tag, std::string_view shortAddress) {
    std::string text(kDeclaration);
    text += fdtStartLine();
    text += "<ConnectRequest ";
    text += "fdt:tag=\"";
    appendEscaped(text, tag);
    text += "\">\n";
    text += "<ShortAddress ";
    text += "shortAddress=\"";
    appendEscaped(text, shortAddress);
    text += "\"/>\n";
    text += "</ConnectRequest>\n";
    text += "</FDT>\n";
    return text;
}

std::string disconnectRequestDocument(std::string_view communicationReference) {
    std::string text(kDeclaration);
    text += fdtStartLine();
    text += "<DisconnectRequest ";
    text += "communicationReference=\"";
    appendEscaped(text, communicationReference);
    text += "\"/>\n";
    text += "</FDT>\n";
    return text;
}

std::string dataExchangeRequestDocument(uint32_t commandNumber,
                                        std::string_view communicationReference,
                                        const std::optional<std::string>& byteArray) {
    xml::Document document;
    xml::Node root = startFdtDocument(document, kHartCommunicationNamespace);
    xml::Node request = root.appendChild(document.createNode(
        xml::NodeType::Element, "DataExchangeRequest", kHartCommunicationNamespace));
    request.setAttribute("commandNumber", std::to_string(commandNumber));
    request.setAttribute("communicationReference", communicationReference);
    if (byteArray) {
        xml::Node data = request.appendChild(document.createNode(
            xml::NodeType::Element, "fdt:CommunicationData", kDataTypesNamespace));
        data.setAttribute("byteArray", *byteArray);
    }
    return document.xml();
}

std::string abortDocument() {
    xml::Document document;
    xml::Node root = startFdtDocument(document, kProfibusCommunicationNamespace);
    root.appendChild(
        document.createNode(xml::NodeType::Element, "Abort", kProfibusCommunicationNamespace));
    return document.xml();
}

std::optional<std::string> withCommunicationReference(std::string_view request,
                                                      std::string_view communicationReference) {
    ParsedResponse parsed = parseResponse(request, nullptr);
    if (!parsed.ok()) return std::nullopt;
    try {
        xml::Node attribute =
            parsed.document.selectSingleNode("//user:DataExchangeRequest/@communicationReference");
        if (attribute.isNull()) return std::nullopt;
        attribute.setText(communicationReference);
        return parsed.document.xml();
    } catch (const xml::Error&) {
        return std::nullopt;
    }
}

std::optional<std::string> ParsedResponse::text(std::string_view xpath) const {
    if (!ok()) return std::nullopt;
    try {
        const xml::Node node = document.selectSingleNode(xpath);
        if (node.isNull()) return std::nullopt;
        return node.text();
    } catch (const xml::Error&) {
        return std::nullopt;
    }
}

std::string ParsedResponse::textOr(std::string_view xpath, std::string_view fallback) const {
    return text(xpath).value_or(std::string(fallback));
}

ParsedResponse parseResponse(std::string_view text,
                             const std::shared_ptr<const xml::SchemaCache>& schemaCache) {
    ParsedResponse parsed;
    parsed.document.setSchemaCache(schemaCache);
    parsed.document.setValidateOnParse(schemaCache != nullptr);
    if (!parsed.document.loadXML(text)) {
        parsed.error = parsed.document.parseError();
        return parsed;
    }
    parsed.document.setProperty("SelectionNamespaces", responseSelectionNamespaces());
    return parsed;
}

std::string cutText(std::string text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0u) == 0x80u) --end;
    text.resize(end);
    return text;
}

}  // namespace engine::communication
