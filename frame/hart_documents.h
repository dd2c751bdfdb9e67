#pragma once
// The frame's side of the FDT HART communication documents: reading the
// requests a DTM sends and writing the answers, in the HART communication
// namespace with the data types as prefix fdt.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/hart_backend.h"

namespace frame {

inline constexpr std::string_view kHartCommunicationNamespace =
    "x-schema:FDTHARTCommunicationSchema.xml";

struct ConnectRequestInfo {
    std::string tag;
    // A missing or empty shortAddress counts as 0, the default polling address.
    std::uint8_t shortAddress = 0;
};

struct DisconnectRequestInfo {
    std::string communicationReference;
};

struct DataExchangeRequestInfo {
    std::uint8_t commandNumber = 0;
    std::string communicationReference;
    std::vector<std::uint8_t> data;  // from fdt:CommunicationData/@byteArray; empty without one
};

// A request read, or why it cannot be carried out.
template <class Info>
struct RequestRead {
    std::optional<Info> request;
    std::string error;
};

RequestRead<ConnectRequestInfo> readConnectRequest(std::string_view document);
RequestRead<DisconnectRequestInfo> readDisconnectRequest(std::string_view document);
// The command number must be 0 to 255, byteArray two hexadecimal digits per byte.
RequestRead<DataExchangeRequestInfo> readDataExchangeRequest(std::string_view document);

// ConnectResponse with the communication reference.
std::string connectResponseDocument(std::string_view communicationReference);
// ConnectResponse without a reference, holding fdt:CommunicationError.
std::string connectErrorDocument(std::string_view reason, std::string_view tag);
std::string disconnectResponseDocument(std::string_view communicationReference);
// DisconnectResponse without a reference, holding fdt:CommunicationError.
std::string disconnectErrorDocument(std::string_view reason, std::string_view tag);
// DataExchangeResponse for a Reply answer: Status with deviceStatus (two hex
// digits) and either CommunicationStatus (a communication status byte) or
// CommandResponse, both in decimal; fdt:CommunicationData when the reply has data.
std::string dataExchangeResponseDocument(std::string_view communicationReference,
                                         std::uint8_t commandNumber, const LineAnswer& answer);
// An FDT document holding only fdt:CommunicationError.
std::string communicationErrorDocument(std::string_view reason, std::string_view tag);

// Two capital hexadecimal digits per byte, no separators.
std::string hexText(const std::vector<std::uint8_t>& bytes);
// Either case; nullopt for an odd length or a character that is no digit.
std::optional<std::vector<std::uint8_t>> parseHexText(std::string_view text);

}  // namespace frame
