// Feeds arbitrary bytes to the HART frame reader as a master and as a slave,
// in chunks whose sizes the input's first byte chooses, and to the whole-frame
// decoder and the command 0 identity reader. Every frame read must encode
// back to the bytes it came from, and a decoded identity must encode back
// to a reply that decodes to the same long address.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "hart/frame.h"
#include "hart/frame_reader.h"
#include "hart/identity.h"

namespace {

void readAll(hart::FrameType wanted, std::span<const std::uint8_t> bytes, std::size_t chunk) {
    hart::FrameReader reader(wanted, [](const hart::Address& address) { return address.pollingAddress != 7; });
    while (!bytes.empty()) {
        const std::size_t take = std::min(chunk, bytes.size());
        for (const hart::ReaderEvent& event : reader.feed(bytes.first(take))) {
            if (event.kind != hart::ReaderEvent::Kind::Frame) continue;
            if (event.frame.type != wanted || event.preambles < 2) std::abort();
            const auto again = hart::encodeFrame(event.frame);
            if (!again || !hart::decodeFrame(*again)) std::abort();
        }
        bytes = bytes.subspan(take);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t chunk = 1 + data[0] % 17;
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    readAll(hart::FrameType::Reply, bytes, chunk);
    readAll(hart::FrameType::Request, bytes, chunk);

    const hart::FrameRead whole = hart::decodeFrame(bytes);
    if (whole) {
        const auto again = hart::encodeFrame(*whole.frame);
        if (!again || !std::equal(again->begin(), again->end(), bytes.begin())) std::abort();
    }
    const hart::IdentityRead identity = hart::decodeIdentity(bytes);
    if (identity) {
        const hart::IdentityRead back = hart::decodeIdentity(hart::encodeIdentity(*identity.identity));
        if (!back || back.identity->uniqueAddress() != identity.identity->uniqueAddress()) std::abort();
    }
    return 0;
}
