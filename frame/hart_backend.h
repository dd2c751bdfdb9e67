#pragma once
// The line behind the frame's HART communication interface: a backend finds
// the device at a polling address and carries one command at a time to it.
// Answers come through callbacks: the in-process simulator answers inside
// the call (the frame adds its latency and response timeout on the apartment
// loop); real lines answer later on the apartment loop, never blocking it.

#include <cstddef>
#include <cstdint>
#include <functional>
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
    // The frame times the line: answers come its latency after a request and
    // silence lasts its response timeout (the in-process simulator). A real
    // line keeps the data-link timing itself and answers when the wire does.
    bool timedByFrame = true;
};

// How a connect ended: whether a device answered command 0 at the polling
// address, and its command 0 reply data when the line read it.
struct LineConnect {
    bool answered = false;
    std::string reason;                    // why not
    std::vector<std::uint8_t> identity;    // command 0 reply data; may be empty
};

class HartBackend {
public:
    using ConnectDone = std::function<void(LineConnect)>;
    using AnswerDone = std::function<void(LineAnswer)>;

    virtual ~HartBackend() = default;

    // "sim:positioner" and the like, for messages.
    virtual std::string name() const = 0;
    virtual LineTraits traits() const { return {}; }
    // Looks for the device at the polling address; later commands go to the
    // device found. `done` runs exactly once unless cancel() comes first.
    virtual void connect(std::uint8_t shortAddress, ConnectDone done) = 0;
    // As connect, for a bus scan: a polling address nobody answers is given
    // up after one try.
    virtual void probe(std::uint8_t shortAddress, ConnectDone done) { connect(shortAddress, std::move(done)); }
    // Carries one command to the connected device; `done` as for connect.
    virtual void send(std::uint8_t command, std::span<const std::uint8_t> request, AnswerDone done) = 0;
    // The frame ended the connection (a HART-IP session closes).
    virtual void disconnect() {}
    // Drops the callbacks of requests in flight; none of them runs afterwards.
    virtual void cancel() {}
};

// A line that answers inside the call: the in-process simulator.
class SynchronousBackend : public HartBackend {
public:
    // Whether a device answers at the polling address.
    virtual bool answersAt(std::uint8_t shortAddress) = 0;
    // Carries one command to the device and brings its answer back.
    virtual LineAnswer transact(std::uint8_t command, std::span<const std::uint8_t> request) = 0;

    void connect(std::uint8_t shortAddress, ConnectDone done) override {
        LineConnect result;
        result.answered = answersAt(shortAddress);
        if (!result.answered)
            result.reason = "no device answers at short address " + std::to_string(shortAddress);
        done(std::move(result));
    }
    void send(std::uint8_t command, std::span<const std::uint8_t> request, AnswerDone done) override {
        done(transact(command, request));
    }
};

}  // namespace frame
