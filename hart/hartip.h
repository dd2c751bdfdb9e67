#pragma once
// HART-IP version 1 messages: an 8-byte header (version, message type,
// message id, status, sequence number, byte count including the header)
// and the bodies of session initiate, session close, keep-alive and the
// token-passing PDU, which carries one HART frame without preambles.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace hart::ip {

inline constexpr std::uint16_t kDefaultPort = 5094;
inline constexpr std::uint8_t kVersion = 1;
inline constexpr std::size_t kHeaderBytes = 8;
inline constexpr std::size_t kMaxMessageBytes = kHeaderBytes + 1024;

enum class MessageType : std::uint8_t { Request = 0, Response = 1, Publish = 2, Error = 3, Nak = 15 };

enum class MessageId : std::uint8_t {
    SessionInitiate = 0,
    SessionClose = 1,
    KeepAlive = 2,
    TokenPassingPdu = 3,
};

inline constexpr std::uint8_t kPrimaryMaster = 1;
inline constexpr std::uint8_t kSecondaryMaster = 0;

struct Message {
    std::uint8_t version = kVersion;
    MessageType type = MessageType::Request;
    MessageId id = MessageId::KeepAlive;
    std::uint8_t status = 0;
    std::uint16_t sequence = 0;
    std::vector<std::uint8_t> body;
};

std::vector<std::uint8_t> encodeMessage(const Message& message);

struct MessageRead {
    std::optional<Message> message;
    std::size_t length = 0;  // bytes the message took
    bool needMore = false;   // a stream holds only the start of a message
    std::string reason;      // refusals
    explicit operator bool() const { return message.has_value(); }
};

// Reads the first message of `bytes`; a stream (TCP) may hold more after it
// or only its start (needMore). A header that is not version 1, names an
// unknown message id or announces fewer than 8 or more than kMaxMessageBytes
// is refused.
MessageRead decodeMessage(std::span<const std::uint8_t> bytes);

// Session initiate body: master type and the inactivity close time in ms.
std::vector<std::uint8_t> sessionInitiateBody(std::uint8_t masterType, std::uint32_t inactivityMs);
struct SessionParameters {
    std::uint8_t masterType = kPrimaryMaster;
    std::uint32_t inactivityMs = 0;
};
std::optional<SessionParameters> readSessionInitiate(std::span<const std::uint8_t> body);

// The reason for a HART-IP status byte of a response.
std::string statusReason(MessageId id, std::uint8_t status);
// Status codes a session initiate answers with.
inline constexpr std::uint8_t kSuccess = 0;
inline constexpr std::uint8_t kInvalidSelection = 2;
inline constexpr std::uint8_t kTooFewDataBytes = 5;
inline constexpr std::uint8_t kSetToNearest = 8;
inline constexpr std::uint8_t kVersionNotSupported = 14;
inline constexpr std::uint8_t kAllSessionsInUse = 15;
inline constexpr std::uint8_t kSessionAlreadyExists = 16;

}  // namespace hart::ip
