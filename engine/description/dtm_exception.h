#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace engine {

// The engine's error: a 32-bit code and a message text. Raised by the
// description loader, the parameter objects and the document builders; thrown
// by value and caught by reference. It deliberately derives from nothing, so
// that a handler for framework or standard exceptions never swallows it: every
// COM entry point must catch it explicitly.
class CDTMException {
public:
    explicit CDTMException(std::string message, int32_t code = 0)
        : code_(code), message_(std::move(message)) {}

    int32_t code() const noexcept { return code_; }
    const std::string& message() const noexcept { return message_; }

private:
    int32_t code_;
    std::string message_;
};

}  // namespace engine
