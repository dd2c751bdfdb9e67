#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace simulator {

// One programmed failure of an answer.
struct Fault {
    enum class Kind {
        ResponseCode,         // the device answers this response code
        CommunicationStatus,  // the device saw a garbled frame: first status byte with bit 7
        CommunicationError,   // the connection fails; the frame reports a CommunicationError
        NoAnswer,             // no reply at all
    };
    Kind kind = Kind::ResponseCode;
    std::uint8_t code = 0;  // response code, or communication status (bit 7 always set)
    std::string reason;     // CommunicationError only

    // Codes from 128 up are communication status bytes; use communicationStatus for those.
    static Fault responseCode(std::uint8_t code) {
        return {Kind::ResponseCode, static_cast<std::uint8_t>(code & 0x7F), {}};
    }
    static Fault communicationStatus(std::uint8_t status) {
        return {Kind::CommunicationStatus, static_cast<std::uint8_t>(status | 0x80), {}};
    }
    static Fault communicationError(std::string reason) {
        return {Kind::CommunicationError, 0, std::move(reason)};
    }
    static Fault noAnswer() { return {Kind::NoAnswer, 0, {}}; }

    friend bool operator==(const Fault&, const Fault&) = default;
};

// Reads a fault from its text form, for frame scripts and command lines:
// "rc=32" (response code, below 128), "status=0xC2" or "status=194" (communication
// status), "commerror=reason text", "noanswer". Numbers are decimal or 0x hex
// and must fit a byte. nullopt for anything else.
std::optional<Fault> parseFault(std::string_view text);

// Which requests fail, and how. Two kinds of rule: a fault for every request
// of one command (a number of times, or until removed), and faults for the
// next requests whatever their command. The next-requests faults are served
// first, in the order they were programmed; a request they take does not use
// up a per-command rule.
class FaultPlan {
public:
    static constexpr unsigned kUntilCleared = 0;

    // Replaces any rule for `command`. `times` = kUntilCleared: every request.
    void onCommand(std::uint8_t command, Fault fault, unsigned times = kUntilCleared);
    void clearCommand(std::uint8_t command);

    // Appends `count` faults for the next requests.
    void onNextRequests(unsigned count, Fault fault);

    void clear();
    bool empty() const { return next_.empty() && perCommand_.empty(); }

    // The fault for a request of `command`, used up as programmed; nullopt
    // when the request goes through.
    std::optional<Fault> take(std::uint8_t command);

private:
    struct Rule {
        Fault fault;
        unsigned remaining;  // kUntilCleared: unlimited
    };
    std::deque<Fault> next_;
    std::map<std::uint8_t, Rule> perCommand_;
};

}  // namespace simulator
