#pragma once
// Helpers over any IStream.

#include <cstdint>
#include <vector>

#include "platform/com/interfaces.h"

namespace com {

// Copies up to cb bytes from the source's seek pointer to the target's,
// advancing both, as IStream::CopyTo does. *read and *written (if given)
// receive the counts even on failure. The source may share its bytes with
// the target (a clone). E_POINTER for a null target.
HRESULT copyStreamRange(IStream& source, IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* read,
                        ULARGE_INTEGER* written);

// All bytes of the stream from its start; its seek pointer is where it was
// before. `out` is empty on failure.
HRESULT readStreamBytes(IStream* stream, std::vector<std::uint8_t>& out);

}  // namespace com
