#pragma once
// HART data-link frames of protocol revisions 5, 6 and 7: the delimiter, the
// short and long address, expansion bytes, command, byte count, the two
// status bytes of a reply, data and the longitudinal parity check byte.
// Encoding never fails for a well-formed Frame; decoding returns a result
// with the reason of every refusal.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace hart {

inline constexpr std::uint8_t kPreamble = 0xFF;
inline constexpr unsigned kMinPreambles = 5;
inline constexpr unsigned kMaxPreambles = 20;
// A byte count is one byte; a reply's count includes its two status bytes,
// so a reply carries at most 253 data bytes.
inline constexpr std::size_t kMaxByteCount = 255;
inline constexpr std::size_t kMaxReplyData = kMaxByteCount - 2;
inline constexpr std::uint8_t kMaxPollingAddress = 63;

// The frame type in the delimiter's low three bits.
enum class FrameType : std::uint8_t {
    Burst = 1,    // BACK: a burst-mode slave's unsolicited reply
    Request = 2,  // STX: master to slave
    Reply = 6,    // ACK: slave to master
};

// The address field: a polling address in one byte, or the five-byte unique
// address. Both carry the master bit (1: primary master) and the burst bit.
struct Address {
    bool isLong = false;
    bool primaryMaster = true;
    bool burst = false;
    std::uint8_t pollingAddress = 0;       // short form, 0 to 63
    std::array<std::uint8_t, 5> unique{};  // long form; bits 7 and 6 of byte 0 left clear

    static Address shortForm(std::uint8_t polling, bool primary = true);
    // `unique` as derived from command 0 (see identity.h); its two top bits are ignored.
    static Address longForm(const std::array<std::uint8_t, 5>& unique, bool primary = true);

    std::size_t size() const { return isLong ? 5 : 1; }
    // Same device: the master and burst bits do not count.
    bool sameDevice(const Address& other) const;
    std::string text() const;
};

struct Frame {
    FrameType type = FrameType::Request;
    Address address;
    std::vector<std::uint8_t> expansion;  // 0 to 3 bytes
    std::uint8_t command = 0;
    // Replies and burst frames: response code (or with bit 7 the
    // communication-error byte) and the field-device status.
    std::uint8_t responseCode = 0;
    std::uint8_t deviceStatus = 0;
    std::vector<std::uint8_t> data;  // without the status bytes

    bool hasStatus() const { return type != FrameType::Request; }
    // The reply's first status byte reports a fault of the request's frame.
    bool isCommunicationError() const { return hasStatus() && (responseCode & 0x80) != 0; }
};

// The delimiter byte of a frame.
std::uint8_t delimiterOf(const Frame& frame);
// Exclusive or of the bytes, the check byte over delimiter to the last data byte.
std::uint8_t longitudinalParity(std::span<const std::uint8_t> bytes);

// The frame from delimiter to check byte; nullopt when its data does not fit
// the byte count (more than 255, or 253 for a reply) or more than three
// expansion bytes are given.
std::optional<std::vector<std::uint8_t>> encodeFrame(const Frame& frame);
// The same behind `preambles` 0xFF bytes (clamped to 5..20).
std::optional<std::vector<std::uint8_t>> encodeWithPreambles(const Frame& frame,
                                                             unsigned preambles);

enum class FrameError {
    None,
    Truncated,      // fewer bytes than the header and byte count announce
    BadDelimiter,   // unknown frame type or physical-layer bits
    BadCheckByte,   // the longitudinal parity does not match
    BadByteCount,   // a reply shorter than its two status bytes, or bytes after the check byte
};

struct FrameRead {
    std::optional<Frame> frame;
    FrameError error = FrameError::None;
    std::string reason;
    std::size_t length = 0;  // bytes the frame took, delimiter to check byte
    explicit operator bool() const { return frame.has_value(); }
};

// Reads one whole frame without preambles (a HART-IP token-passing PDU's
// body); bytes after the check byte are an error.
FrameRead decodeFrame(std::span<const std::uint8_t> bytes);

// Bytes a frame with `dataBytes` takes from delimiter to check byte (status
// bytes counted in dataBytes for replies).
std::size_t frameLength(bool longAddress, std::size_t expansionBytes, std::size_t byteCount);

}  // namespace hart
