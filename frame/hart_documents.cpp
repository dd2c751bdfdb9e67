#include "frame/hart_documents.h"

#include <charconv>

#include "frame/frame_documents.h"
#include "platform/xml/document.h"

namespace frame {
namespace {

constexpr std::string_view kSelection =
    "xmlns:hart='x-schema:FDTHARTCommunicationSchema.xml' "
    "xmlns:fdt='x-schema:FDTDataTypesSchema.xml'";

// Loads a request without validation: the frame reads only what it needs.
bool loadRequest(xml::Document& document, std::string_view text, std::string& error) {
    document.setValidateOnParse(false);
    if (!document.loadXML(text)) {
        error = "not well-formed: " + document.parseError().reason;
        return false;
    }
    document.setProperty("SelectionNamespaces", kSelection);
    return true;
}

std::optional<unsigned> parseDecimal(std::string_view text, unsigned limit) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || value > limit)
        return std::nullopt;
    return value;
}

xml::Node startAnswer(xml::Document& document) {
    xml::Node root =
        document.createNode(xml::NodeType::Element, "FDT", kHartCommunicationNamespace);
    root.setAttribute("xmlns", kHartCommunicationNamespace);
    root.setAttribute("xmlns:fdt", kDataTypesNamespace);
    document.appendChild(root);
    return root;
}

xml::Node appendElement(xml::Document& document, xml::Node parent, std::string_view name) {
    const std::string_view ns =
        name.starts_with("fdt:") ? kDataTypesNamespace : kHartCommunicationNamespace;
    return parent.appendChild(document.createNode(xml::NodeType::Element, name, ns));
}

void appendCommunicationError(xml::Document& document, xml::Node parent, std::string_view reason,
                              std::string_view tag) {
    xml::Node error = appendElement(document, parent, "fdt:CommunicationError");
    error.setAttribute("communicationError", reason);
    error.setAttribute("tag", tag);
}

std::string referenceAnswer(std::string_view element, std::string_view communicationReference) {
    xml::Document document;
    xml::Node root = startAnswer(document);
    appendElement(document, root, element)
        .setAttribute("communicationReference", communicationReference);
    return root.xml();
}

std::string errorAnswer(std::string_view element, std::string_view reason, std::string_view tag) {
    xml::Document document;
    xml::Node root = startAnswer(document);
    appendCommunicationError(document, appendElement(document, root, element), reason, tag);
    return root.xml();
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

RequestRead<ConnectRequestInfo> readConnectRequest(std::string_view text) {
    RequestRead<ConnectRequestInfo> read;
    try {
        xml::Document document;
        if (!loadRequest(document, text, read.error)) return read;
        const xml::Node request = document.selectSingleNode("/hart:FDT/hart:ConnectRequest");
        if (request.isNull()) {
            read.error = "no ConnectRequest element";
            return read;
        }
        ConnectRequestInfo info;
        info.tag = request.getAttribute("fdt:tag").value_or("");
        const std::string address =
            document
                .selectSingleNode("/hart:FDT/hart:ConnectRequest/hart:ShortAddress/@shortAddress")
                .text();
        if (!address.empty()) {
            const std::optional<unsigned> value = parseDecimal(address, 255);
            if (!value) {
                read.error = "short address '" + address + "' is not a number from 0 to 255";
                return read;
            }
            info.shortAddress = static_cast<std::uint8_t>(*value);
        }
        read.request = std::move(info);
    } catch (const xml::Error& failure) {
        read.error = failure.what();
    }
    return read;
}

RequestRead<DisconnectRequestInfo> readDisconnectRequest(std::string_view text) {
    RequestRead<DisconnectRequestInfo> read;
    try {
        xml::Document document;
        if (!loadRequest(document, text, read.error)) return read;
        const xml::Node reference =
            document.selectSingleNode("/hart:FDT/hart:DisconnectRequest/@communicationReference");
        if (reference.isNull()) {
            read.error = "no DisconnectRequest with a communicationReference";
            return read;
        }
        read.request = DisconnectRequestInfo{reference.text()};
    } catch (const xml::Error& failure) {
        read.error = failure.what();
    }
    return read;
}

RequestRead<DataExchangeRequestInfo> readDataExchangeRequest(std::string_view text) {
    RequestRead<DataExchangeRequestInfo> read;
    try {
        xml::Document document;
        if (!loadRequest(document, text, read.error)) return read;
        const xml::Node request = document.selectSingleNode("/hart:FDT/hart:DataExchangeRequest");
        if (request.isNull()) {
            read.error = "no DataExchangeRequest element";
            return read;
        }
        DataExchangeRequestInfo info;
        const std::string number = request.getAttribute("commandNumber").value_or("");
        const std::optional<unsigned> command = parseDecimal(number, 255);
        if (!command) {
            read.error = "commandNumber '" + number + "' is not a number from 0 to 255";
            return read;
        }
        info.commandNumber = static_cast<std::uint8_t>(*command);
        info.communicationReference = request.getAttribute("communicationReference").value_or("");
        if (const xml::Node data = request.selectSingleNode("fdt:CommunicationData/@byteArray")) {
            std::optional<std::vector<std::uint8_t>> bytes = parseHexText(data.text());
            if (!bytes) {
                read.error = "byteArray '" + data.text() + "' is not hexadecimal bytes";
                return read;
            }
            info.data = std::move(*bytes);
        }
        read.request = std::move(info);
    } catch (const xml::Error& failure) {
        read.error = failure.what();
    }
    return read;
}

std::string connectResponseDocument(std::string_view communicationReference) {
    return referenceAnswer("ConnectResponse", communicationReference);
}

std::string connectErrorDocument(std::string_view reason, std::string_view tag) {
    return errorAnswer("ConnectResponse", reason, tag);
}

std::string disconnectResponseDocument(std::string_view communicationReference) {
    return referenceAnswer("DisconnectResponse", communicationReference);
}

std::string disconnectErrorDocument(std::string_view reason, std::string_view tag) {
    return errorAnswer("DisconnectResponse", reason, tag);
}

std::string dataExchangeResponseDocument(std::string_view communicationReference,
                                         std::uint8_t commandNumber, const LineAnswer& answer) {
    xml::Document document;
    xml::Node root = startAnswer(document);
    xml::Node response = appendElement(document, root, "DataExchangeResponse");
    response.setAttribute("communicationReference", communicationReference);
    response.setAttribute("commandNumber", std::to_string(commandNumber));
    xml::Node status = appendElement(document, response, "Status");
    status.setAttribute("deviceStatus", hexText({answer.deviceStatus}));
    if (answer.isCommunicationStatus()) {
        appendElement(document, status, "CommunicationStatus")
            .setAttribute("value", std::to_string(answer.responseCode));
        return root.xml();
    }
    appendElement(document, status, "CommandResponse")
        .setAttribute("value", std::to_string(answer.responseCode));
    if (!answer.data.empty()) {
        appendElement(document, response, "fdt:CommunicationData")
            .setAttribute("byteArray", hexText(answer.data));
    }
    return root.xml();
}

std::string communicationErrorDocument(std::string_view reason, std::string_view tag) {
    xml::Document document;
    xml::Node root = startAnswer(document);
    appendCommunicationError(document, root, reason, tag);
    return root.xml();
}

std::string hexText(const std::vector<std::uint8_t>& bytes) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

std::optional<std::vector<std::uint8_t>> parseHexText(std::string_view text) {
    if (text.size() % 2 != 0) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = hexDigit(text[i]);
        const int lo = hexDigit(text[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return bytes;
}

}  // namespace frame
