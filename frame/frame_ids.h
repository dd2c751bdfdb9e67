#pragma once
// Invoke ids and communication references that the frame hands out: GUID
// texts without braces that count up, so that transcripts repeat exactly.

#include <cstdint>
#include <string>

#include "platform/com/guid.h"

namespace frame {

enum class IdKind : std::uint32_t {
    invokeId = 1,                // the frame's upload and download requests
    communicationReference = 2,  // the frame's HART connections
};

// "00000001-0000-0000-0000-000000000007" for the 7th invoke id.
inline std::string sequentialId(IdKind kind, std::uint64_t number) {
    GUID id;
    id.Data1 = static_cast<std::uint32_t>(kind);
    for (int i = 7; i >= 2; --i) {
        id.Data4[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(number & 0xFF);
        number >>= 8;
    }
    return com::formatGuidBare(id);
}

}  // namespace frame
