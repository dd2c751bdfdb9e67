#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace simulator {

// How a request ended on the line.
enum class AnswerKind {
    Reply,               // a HART reply frame: two status bytes and data
    CommunicationError,  // the connection failed (the frame reports a CommunicationError)
    NoAnswer,            // the device stayed silent: no reply at all
};

struct Answer {
    AnswerKind kind = AnswerKind::Reply;
    // First status byte: the response code, or with bit 7 set the
    // communication status (then no command was carried out).
    std::uint8_t responseCode = 0;
    std::uint8_t deviceStatus = 0;  // second status byte
    std::vector<std::uint8_t> data;
    std::string communicationError;  // reason text, CommunicationError only

    bool isCommunicationStatus() const {
        return kind == AnswerKind::Reply && (responseCode & 0x80) != 0;
    }
};

}  // namespace simulator
