// Feeds arbitrary bytes as a HART-IP stream: messages are taken off its
// front until one is refused or incomplete. Every message read must encode
// back to the bytes it took; session-initiate bodies must read back as written.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "hart/frame.h"
#include "hart/hartip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> stream(data, size);
    while (!stream.empty()) {
        const hart::ip::MessageRead read = hart::ip::decodeMessage(stream);
        if (!read) break;
        const auto bytes = hart::ip::encodeMessage(*read.message);
        if (bytes.size() != read.length || !std::equal(bytes.begin(), bytes.end(), stream.begin())) std::abort();
        if (const auto session = hart::ip::readSessionInitiate(read.message->body)) {
            const auto body = hart::ip::sessionInitiateBody(session->masterType, session->inactivityMs);
            if (!std::equal(body.begin(), body.end(), read.message->body.begin())) std::abort();
        }
        if (read.message->id == hart::ip::MessageId::TokenPassingPdu) (void)hart::decodeFrame(read.message->body);
        (void)hart::ip::statusReason(read.message->id, read.message->status);
        stream = stream.subspan(read.length);
    }
    return 0;
}
