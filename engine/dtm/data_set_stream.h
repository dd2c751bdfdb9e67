#pragma once
// The stream form of a data-set text: a 32-bit little-endian byte count N,
// then N bytes of UTF-16LE text whose last two bytes are the terminating zero.
// N = 0 stands for an empty text.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/com/interfaces.h"

namespace engine {

// Texts above this size are refused with E_OUTOFMEMORY.
constexpr std::uint32_t kMaxDataSetStreamBytes = 256u * 1024u * 1024u;

struct DataSetStreamRead {
    HRESULT result = S_OK;  // E_FAIL on a short read or malformed count, E_OUTOFMEMORY when too large
    std::string text;       // UTF-8
};

// Reads one data-set text from the stream's current position.
DataSetStreamRead readDataSetStream(IStream& stream);

// Writes the text (UTF-8) in stream form; the stream's HRESULT on failure,
// STG_E_MEDIUMFULL when it took fewer bytes than given.
HRESULT writeDataSetStream(IStream& stream, std::string_view text);

}  // namespace engine
