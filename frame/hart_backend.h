#pragma once
// The line behind the frame's HART communication interface: a backend says
// whether a device answers at a polling address and carries one command at
// a time. Backends are synchronous; the frame adds the line's latency and
// its response timeout on the apartment loop.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace frame {

// How one request ended on the line.
struct LineAnswer {
    enum class Kind {
        Reply,               // a reply frame: two status bytes and data
        CommunicationError,  // the connection failed; `reason` says why
        NoAnswer,            // nothing came back
    };
    Kind kind = Kind::Reply;
    std::uint8_t responseCode = 0;  // first status byte; bit 7 set: communication status
    std::uint8_t deviceStatus = 0;  // second status byte
    std::vector<std::uint8_t> data;
    std::string reason;

    bool isCommunicationStatus() const { return kind == Kind::Reply && (responseCode & 0x80) != 0; }
};

// What the frame must know of a line before it sends on it.
struct LineTraits {
    std::size_t maxRequestBytes = 255;  // longer request data is refused
};

class HartBackend {
public:
    virtual ~HartBackend() = default;

    // "sim:positioner" and the like, for messages.
    virtual std::string name() const = 0;
    virtual LineTraits traits() const { return {}; }
    // Whether a device answers at the polling address.
    virtual bool answersAt(std::uint8_t shortAddress) = 0;
    // Carries one command to the device and brings its answer back.
    virtual LineAnswer transact(std::uint8_t command, std::span<const std::uint8_t> request) = 0;
};

}  // namespace frame
