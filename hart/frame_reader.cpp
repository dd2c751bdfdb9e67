#include "hart/frame_reader.h"

#include <algorithm>

namespace hart {
namespace {

// The longest a frame may be: the largest header and 255 count bytes.
constexpr std::size_t kLongestFrame = 1 + 5 + 3 + 2 + kMaxByteCount + 1;

}  // namespace

FrameReader::FrameReader(FrameType wanted, AddressFilter ours)
    : wanted_(wanted), ours_(std::move(ours)) {}

std::vector<ReaderEvent> FrameReader::feed(std::span<const std::uint8_t> bytes) {
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    std::vector<ReaderEvent> events;
    for (;;) {
        ReaderEvent event;
        const Step result = step(event);
        if (result == Step::NeedMore) break;
        if (result == Step::Event) events.push_back(std::move(event));
    }
    return events;
}

bool FrameReader::insideFrame() const {
    const auto run = std::find(buffer_.begin(), buffer_.end(), kPreamble);
    if (run == buffer_.end()) return false;
    const auto delimiter = std::find_if(run, buffer_.end(), [](std::uint8_t b) { return b != kPreamble; });
    return delimiter != buffer_.end() && delimiter - run >= 2;
}

FrameReader::Step FrameReader::step(ReaderEvent& event) {
    // Noise before the first preamble goes.
    const auto run = std::find(buffer_.begin(), buffer_.end(), kPreamble);
    buffer_.erase(buffer_.begin(), run);
    const auto delimiterAt = std::find_if(buffer_.begin(), buffer_.end(),
                                          [](std::uint8_t b) { return b != kPreamble; });
    if (delimiterAt == buffer_.end()) {
        // Only preambles so far; keep a bounded number of them.
        if (buffer_.size() > kMaxPreambles * 4) buffer_.erase(buffer_.begin(), buffer_.end() - kMaxPreambles);
        return Step::NeedMore;
    }
    const auto preambles = static_cast<unsigned>(delimiterAt - buffer_.begin());
    const auto d = static_cast<std::size_t>(preambles);
    if (preambles < 2) {
        buffer_.erase(buffer_.begin(), delimiterAt + 1);
        return Step::Dropped;
    }
    const std::span<const std::uint8_t> rest(buffer_.data() + d, buffer_.size() - d);
    FrameRead read = decodeFrame(rest.first(std::min(rest.size(), kLongestFrame)));
    if (read.error == FrameError::Truncated || read.error == FrameError::BadByteCount) {
        // Bytes after the frame are the next frame's: read exactly the announced length.
        const std::uint8_t delimiter = rest[0];
        const bool isLong = (delimiter & 0x80) != 0;
        const std::size_t expansion = (delimiter & 0x60) >> 5;
        const std::size_t header = 1 + (isLong ? 5 : 1) + expansion + 2;
        if (rest.size() < header) return Step::NeedMore;
        const std::size_t length = frameLength(isLong, expansion, rest[header - 1]);
        if (rest.size() < length) return Step::NeedMore;
        read = decodeFrame(rest.first(length));
    }
    if (!read) {
        // Resynchronise right after the refused delimiter.
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(d + 1));
        if (read.error == FrameError::BadDelimiter) return Step::Dropped;
        event.kind = ReaderEvent::Kind::Refused;
        event.error = read.error;
        event.reason = std::move(read.reason);
        event.preambles = preambles;
        return Step::Event;
    }
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(d + read.length));
    Frame& frame = *read.frame;
    if (frame.type == FrameType::Burst) {
        ++bursts_;
        return Step::Dropped;
    }
    if (frame.type != wanted_) return Step::Dropped;
    if (ours_ && !ours_(frame.address)) {
        event.kind = ReaderEvent::Kind::Refused;
        event.reason = "frame for " + frame.address.text() + ", not ours";
        event.preambles = preambles;
        return Step::Event;
    }
    event.kind = ReaderEvent::Kind::Frame;
    event.frame = std::move(frame);
    event.preambles = preambles;
    return Step::Event;
}

}  // namespace hart
