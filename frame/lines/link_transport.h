#pragma once
// What a master line needs of its medium: open it, send one request frame,
// hear replies, and say how long a reply may take. The serial modem and the
// HART-IP client are the two media; the master line above them does the
// addressing, the retries and the matching of replies to requests.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "hart/frame.h"

namespace frame {

// Bytes on the medium, preambles included; for measurements.
struct WireCounters {
    std::uint64_t bytesSent = 0;
    std::uint64_t bytesReceived = 0;
    std::uint64_t frames = 0;  // request and reply frames
};

class LinkTransport {
public:
    // Every handler runs on the apartment loop.
    struct Handlers {
        std::function<void(hart::Frame)> reply;       // a reply frame arrived
        std::function<void(std::string)> garbled;     // a reply was refused; the reason
        std::function<void()> activity;               // bytes arrived: a reply is on its way
        std::function<void(std::string)> lost;        // the medium or session broke
    };
    using OpenDone = std::function<void(std::string error)>;

    virtual ~LinkTransport() = default;

    void setHandlers(Handlers handlers) { handlers_ = std::move(handlers); }
    virtual std::string name() const = 0;
    virtual bool isOpen() const = 0;
    // Opens the medium (a HART-IP session: connection and session initiate).
    // `done` gets an empty text on success, else the reason; it runs on the
    // apartment loop, possibly from inside this call.
    virtual void open(OpenDone done) = 0;
    // Puts one request frame on the medium; false with a reason when it
    // cannot be written.
    virtual bool send(const hart::Frame& request, unsigned preambles, std::string& error) = 0;
    // How long to wait for a reply once `sentBytes` went out, and again after
    // each sign of activity.
    virtual std::chrono::milliseconds replyTimeout(std::size_t sentBytes) const = 0;
    // Ends a session; the next open starts a new one. The serial port stays open.
    virtual void close() = 0;

    const WireCounters& counters() const { return counters_; }

protected:
    Handlers handlers_;
    WireCounters counters_;
};

}  // namespace frame
