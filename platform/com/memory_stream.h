#pragma once
// A growable stream over bytes in memory.
//
// Reads stop at the end of the data (S_FALSE for a short read); the seek
// pointer may go past the end, and a write there fills the gap with zeros.
// SetSize grows with zeros or cuts, leaving the seek pointer alone. Clone
// gives a stream over the same bytes with its own seek pointer. Commit and
// Revert do nothing (there is no transacted mode); region locks are not
// supported (STG_E_INVALIDFUNCTION). Apartment use: one thread at a time for
// a stream and its clones.

#include <cstdint>
#include <span>

#include "platform/com/interfaces.h"

namespace com {

// The largest size a memory stream can reach; a write or SetSize beyond it
// fails with STG_E_MEDIUMFULL.
constexpr std::uint64_t kMaxMemoryStreamSize = 0xFFFFFFFFu;

// A new empty stream; *stream receives the caller's reference.
HRESULT createMemoryStream(IStream** stream);
// A new stream holding a copy of `initial`, its seek pointer at the start.
HRESULT createMemoryStream(std::span<const std::uint8_t> initial, IStream** stream);

}  // namespace com
