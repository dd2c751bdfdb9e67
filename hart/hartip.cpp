#include "hart/hartip.h"

namespace hart::ip {

std::vector<std::uint8_t> encodeMessage(const Message& message) {
    const std::size_t length = kHeaderBytes + message.body.size();
    std::vector<std::uint8_t> bytes = {
        message.version,
        static_cast<std::uint8_t>(message.type),
        static_cast<std::uint8_t>(message.id),
        message.status,
        static_cast<std::uint8_t>(message.sequence >> 8),
        static_cast<std::uint8_t>(message.sequence),
        static_cast<std::uint8_t>(length >> 8),
        static_cast<std::uint8_t>(length),
    };
    bytes.insert(bytes.end(), message.body.begin(), message.body.end());
    return bytes;
}

MessageRead decodeMessage(std::span<const std::uint8_t> bytes) {
    MessageRead read;
    if (bytes.size() < kHeaderBytes) {
        read.needMore = true;
        read.reason = "message shorter than its header";
        return read;
    }
    if (bytes[0] != kVersion) {
        read.reason = "HART-IP version " + std::to_string(bytes[0]) + " is not supported";
        return read;
    }
    const std::uint8_t type = bytes[1];
    if (type > 3 && type != 15) {
        read.reason = "unknown message type " + std::to_string(type);
        return read;
    }
    const std::uint8_t id = bytes[2];
    if (id > static_cast<std::uint8_t>(MessageId::TokenPassingPdu)) {
        read.reason = "unknown message id " + std::to_string(id);
        return read;
    }
    const std::size_t length = static_cast<std::size_t>((bytes[6] << 8) | bytes[7]);
    if (length < kHeaderBytes || length > kMaxMessageBytes) {
        read.reason = "byte count " + std::to_string(length) + " out of range";
        return read;
    }
    if (bytes.size() < length) {
        read.needMore = true;
        read.reason = "message shorter than its byte count";
        return read;
    }
    Message message;
    message.version = bytes[0];
    message.type = static_cast<MessageType>(type);
    message.id = static_cast<MessageId>(id);
    message.status = bytes[3];
    message.sequence = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    message.body.assign(bytes.begin() + kHeaderBytes,
                        bytes.begin() + static_cast<std::ptrdiff_t>(length));
    read.message = std::move(message);
    read.length = length;
    return read;
}

std::vector<std::uint8_t> sessionInitiateBody(std::uint8_t masterType, std::uint32_t inactivityMs) {
    return {masterType, static_cast<std::uint8_t>(inactivityMs >> 24),
            static_cast<std::uint8_t>(inactivityMs >> 16), static_cast<std::uint8_t>(inactivityMs >> 8),
            static_cast<std::uint8_t>(inactivityMs)};
}

std::optional<SessionParameters> readSessionInitiate(std::span<const std::uint8_t> body) {
    if (body.size() < 5) return std::nullopt;
    SessionParameters parameters;
    parameters.masterType = body[0];
    parameters.inactivityMs = (static_cast<std::uint32_t>(body[1]) << 24) |
                              (static_cast<std::uint32_t>(body[2]) << 16) |
                              (static_cast<std::uint32_t>(body[3]) << 8) | body[4];
    return parameters;
}

std::string statusReason(MessageId id, std::uint8_t status) {
    switch (status) {
        case kSuccess:
            return "success";
        case kInvalidSelection:
            return id == MessageId::SessionInitiate ? "invalid master type" : "invalid selection";
        case kTooFewDataBytes:
            return "too few data bytes";
        case 6:
            return "device-specific error";
        case kSetToNearest:
            return "inactivity timer set to the nearest possible value";
        case kVersionNotSupported:
            return "HART-IP version not supported";
        case kAllSessionsInUse:
            return "all sessions in use";
        case kSessionAlreadyExists:
            return "session already established";
        case 32:
            return "busy";
        case 64:
            return "message not implemented";
        default:
            return "status " + std::to_string(status);
    }
}

}  // namespace hart::ip
