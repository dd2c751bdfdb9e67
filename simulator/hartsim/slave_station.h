#pragma once
// The devices on one simulated line and the line's faults: takes a request
// frame, finds the device it addresses (command 0 by polling address in a
// short frame, every command by long address), lets the device answer and
// builds the reply frame with the device's own preambles. Requests for no
// device of ours are left unanswered, as on a real line.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hart/frame.h"
#include "hart/identity.h"
#include "simulator/simulated_package.h"

namespace simulator {

// A fault of the line rather than of a device.
struct LineFault {
    enum class Kind {
        Silence,             // no reply
        BadCheckByte,        // the reply's check byte is spoiled
        CommunicationError,  // the reply's first status byte reports a fault of the request
        CloseSession,        // HART-IP: the server ends the session instead of answering
    };
    Kind kind = Kind::Silence;
    std::uint64_t from = 1;    // the first request (counted from 1) it hits
    std::uint64_t count = 1;   // requests it hits; 0: every one from `from` on
    std::uint8_t status = 0xC0;  // CommunicationError: the byte sent

    bool hits(std::uint64_t request) const {
        return request >= from && (count == 0 || request < from + count);
    }
};

// "silence[:FROM[:COUNT]]", "badcheck...", "commerror[=0xC8]...", "close...";
// nullopt with `error` set for anything else.
std::optional<LineFault> parseLineFault(const std::string& text, std::string& error);

struct StationReply {
    bool answered = false;             // false: stay silent
    bool closeSession = false;         // HART-IP: end the session
    std::vector<std::uint8_t> frame;   // delimiter to check byte
    unsigned preambles = 5;
};

class SlaveStation {
public:
    struct Device {
        std::string name;
        std::unique_ptr<SimulatedPackage> package;
        ::hart::Identity identity;
    };

    // Adds a device; its polling address is set through command 6 when
    // `pollingAddress` is given. False with `error` when it cannot be.
    bool add(std::string name, std::unique_ptr<SimulatedPackage> package,
             std::optional<std::uint8_t> pollingAddress, std::string& error);
    void addFault(LineFault fault) { faults_.push_back(fault); }

    // Answers one request frame.
    StationReply handle(const ::hart::Frame& request);

    const std::vector<Device>& devices() const { return devices_; }
    std::uint64_t requests() const { return requests_; }
    // One line per device: name, polling address, long address.
    std::string describe() const;

private:
    Device* addressed(const ::hart::Address& address);

    std::vector<Device> devices_;
    std::vector<LineFault> faults_;
    std::uint64_t requests_ = 0;
};

}  // namespace simulator
