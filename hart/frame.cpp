#include "hart/frame.h"

#include <algorithm>
#include <cstdio>

namespace hart {
namespace {

constexpr std::uint8_t kLongAddressBit = 0x80;
constexpr std::uint8_t kExpansionMask = 0x60;
constexpr std::uint8_t kPhysicalLayerMask = 0x18;
constexpr std::uint8_t kFrameTypeMask = 0x07;
constexpr std::uint8_t kMasterBit = 0x80;
constexpr std::uint8_t kBurstBit = 0x40;
constexpr std::uint8_t kPollingMask = 0x3F;

bool knownFrameType(std::uint8_t type) {
    return type == static_cast<std::uint8_t>(FrameType::Burst) ||
           type == static_cast<std::uint8_t>(FrameType::Request) ||
           type == static_cast<std::uint8_t>(FrameType::Reply);
}

FrameRead refused(FrameError error, std::string reason) {
    FrameRead read;
    read.error = error;
    read.reason = std::move(reason);
    return read;
}

}  // namespace

Address Address::shortForm(std::uint8_t polling, bool primary) {
    Address address;
    address.pollingAddress = static_cast<std::uint8_t>(polling & kPollingMask);
    address.primaryMaster = primary;
    return address;
}

Address Address::longForm(const std::array<std::uint8_t, 5>& unique, bool primary) {
    Address address;
    address.isLong = true;
    address.unique = unique;
    address.unique[0] &= kPollingMask;
    address.primaryMaster = primary;
    return address;
}

bool Address::sameDevice(const Address& other) const {
    if (isLong != other.isLong) return false;
    return isLong ? unique == other.unique : pollingAddress == other.pollingAddress;
}

std::string Address::text() const {
    if (!isLong) return "polling address " + std::to_string(pollingAddress);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02X%02X%02X%02X%02X", unique[0], unique[1], unique[2],
                  unique[3], unique[4]);
    return std::string("long address ") + buffer;
}

std::uint8_t delimiterOf(const Frame& frame) {
    std::uint8_t delimiter = static_cast<std::uint8_t>(frame.type);
    if (frame.address.isLong) delimiter |= kLongAddressBit;
    delimiter |= static_cast<std::uint8_t>((std::min<std::size_t>(frame.expansion.size(), 3) << 5));
    return delimiter;
}

std::uint8_t longitudinalParity(std::span<const std::uint8_t> bytes) {
    std::uint8_t parity = 0;
    for (const std::uint8_t byte : bytes) parity ^= byte;
    return parity;
}

std::size_t frameLength(bool longAddress, std::size_t expansionBytes, std::size_t byteCount) {
    // delimiter, address, expansion, command, byte count, data, check byte
    return 1 + (longAddress ? 5 : 1) + expansionBytes + 1 + 1 + byteCount + 1;
}

std::optional<std::vector<std::uint8_t>> encodeFrame(const Frame& frame) {
    const std::size_t status = frame.hasStatus() ? 2 : 0;
    if (frame.expansion.size() > 3 || frame.data.size() + status > kMaxByteCount) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(frameLength(frame.address.isLong, frame.expansion.size(),
                              frame.data.size() + status));
    bytes.push_back(delimiterOf(frame));
    const std::uint8_t bits = static_cast<std::uint8_t>((frame.address.primaryMaster ? kMasterBit : 0) |
                                                        (frame.address.burst ? kBurstBit : 0));
    if (frame.address.isLong) {
        bytes.push_back(static_cast<std::uint8_t>(bits | (frame.address.unique[0] & kPollingMask)));
        bytes.insert(bytes.end(), frame.address.unique.begin() + 1, frame.address.unique.end());
    } else {
        bytes.push_back(static_cast<std::uint8_t>(bits | (frame.address.pollingAddress & kPollingMask)));
    }
    bytes.insert(bytes.end(), frame.expansion.begin(), frame.expansion.end());
    bytes.push_back(frame.command);
    bytes.push_back(static_cast<std::uint8_t>(frame.data.size() + status));
    if (status) {
        bytes.push_back(frame.responseCode);
        bytes.push_back(frame.deviceStatus);
    }
    bytes.insert(bytes.end(), frame.data.begin(), frame.data.end());
    bytes.push_back(longitudinalParity(bytes));
    return bytes;
}

std::optional<std::vector<std::uint8_t>> encodeWithPreambles(const Frame& frame,
                                                             unsigned preambles) {
    std::optional<std::vector<std::uint8_t>> body = encodeFrame(frame);
    if (!body) return std::nullopt;
    const unsigned count = std::clamp(preambles, kMinPreambles, kMaxPreambles);
    body->insert(body->begin(), count, kPreamble);
    return body;
}

FrameRead decodeFrame(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return refused(FrameError::Truncated, "no delimiter");
    const std::uint8_t delimiter = bytes[0];
    const std::uint8_t type = delimiter & kFrameTypeMask;
    if (!knownFrameType(type) || (delimiter & kPhysicalLayerMask) != 0) {
        char text[48];
        std::snprintf(text, sizeof text, "delimiter 0x%02X names no frame type", delimiter);
        return refused(FrameError::BadDelimiter, text);
    }
    const bool isLong = (delimiter & kLongAddressBit) != 0;
    const std::size_t expansion = (delimiter & kExpansionMask) >> 5;
    const std::size_t header = 1 + (isLong ? 5 : 1) + expansion + 2;
    if (bytes.size() < header) return refused(FrameError::Truncated, "frame ends inside its header");
    const std::size_t byteCount = bytes[header - 1];
    const std::size_t length = frameLength(isLong, expansion, byteCount);
    if (bytes.size() < length) return refused(FrameError::Truncated, "frame shorter than its byte count");
    if (bytes.size() > length)
        return refused(FrameError::BadByteCount, "bytes after the check byte: the byte count is wrong");
    if (longitudinalParity(bytes.first(length - 1)) != bytes[length - 1])
        return refused(FrameError::BadCheckByte, "check byte does not match");

    Frame frame;
    frame.type = static_cast<FrameType>(type);
    const std::uint8_t first = bytes[1];
    frame.address.isLong = isLong;
    frame.address.primaryMaster = (first & kMasterBit) != 0;
    frame.address.burst = (first & kBurstBit) != 0;
    if (isLong) {
        frame.address.unique = {static_cast<std::uint8_t>(first & kPollingMask), bytes[2], bytes[3],
                                bytes[4], bytes[5]};
    } else {
        frame.address.pollingAddress = first & kPollingMask;
    }
    std::size_t at = 1 + frame.address.size();
    frame.expansion.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                           bytes.begin() + static_cast<std::ptrdiff_t>(at + expansion));
    at += expansion;
    frame.command = bytes[at];
    at += 2;
    std::size_t dataBytes = byteCount;
    if (frame.hasStatus()) {
        if (byteCount < 2)
            return refused(FrameError::BadByteCount,
                           "reply byte count " + std::to_string(byteCount) + " leaves out the status bytes");
        frame.responseCode = bytes[at];
        frame.deviceStatus = bytes[at + 1];
        at += 2;
        dataBytes -= 2;
    }
    frame.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                      bytes.begin() + static_cast<std::ptrdiff_t>(at + dataBytes));
    FrameRead read;
    read.frame = std::move(frame);
    read.length = length;
    return read;
}

}  // namespace hart
