#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/xml/document.h"

namespace xml {
class SchemaCache;
}

// The FDT HART communication documents that the channel sends, and the
// parsing of the frame's answers.
namespace engine::communication {

inline constexpr std::string_view kHartCommunicationNamespace =
    "x-schema:FDTHARTCommunicationSchema.xml";
inline constexpr std::string_view kDataTypesNamespace = "x-schema:FDTDataTypesSchema.xml";
inline constexpr std::string_view kProfibusCommunicationNamespace =
    "x-schema:FDTProfibusDPV1CommunicationSchema.xml";

// "xmlns:user='<HART communication>' xmlns:fdt='<data types>'".
std::string responseSelectionNamespaces();

// The ConnectRequest document, assembled as text. Tag and address are written
// as attribute values with the XML special characters escaped; any length is
// accepted.
std::string connectRequestDocument(std::string_view tag, std::string_view shortAddress);

// The DisconnectRequest document for a reference, assembled as text.
std::string disconnectRequestDocument(std::string_view communicationReference);

// The DataExchangeRequest document, built through the DOM: "commandNumber" in
// decimal, the reference, and a "fdt:CommunicationData" child with "byteArray"
// only when byteArray is given. Throws xml::Error for a reference that is not
// XML text.
std::string dataExchangeRequestDocument(uint32_t commandNumber,
                                        std::string_view communicationReference,
                                        const std::optional<std::string>& byteArray);

// The Abort document (an empty "Abort" in the Profibus communication namespace).
std::string abortDocument();

// The request with its "DataExchangeRequest/@communicationReference" set to
// reference; nullopt when request is not such a document or lacks the
// attribute.
std::optional<std::string> withCommunicationReference(std::string_view request,
                                                      std::string_view communicationReference);

// A frame's answer parsed with the prefixes "user" (HART communication) and
// "fdt" (data types) bound. With a schema cache the document is validated
// while loading; without one it is only checked to be well-formed.
struct ParsedResponse {
    xml::Document document;
    xml::ParseError error;  // code None when the text loaded

    bool ok() const { return error.ok(); }
    // The text of the first node that xpath selects, or nullopt. Never throws.
    std::optional<std::string> text(std::string_view xpath) const;
    // text(), or fallback when nothing is selected.
    std::string textOr(std::string_view xpath, std::string_view fallback) const;
};
ParsedResponse parseResponse(std::string_view text,
                             const std::shared_ptr<const xml::SchemaCache>& schemaCache);

// Up to maxBytes bytes of text, never cutting a UTF-8 sequence in two.
std::string cutText(std::string text, size_t maxBytes);

}  // namespace engine::communication
