#pragma once
// Reads HART frames from a byte stream (a modem's or a serial port's), as a
// master reads replies and a slave reads requests. It hunts for at least two
// preambles and a delimiter, waits for the bytes the header announces, and
// resynchronises on noise: after a refused frame the search starts again at
// the byte after its delimiter, so a real frame hidden behind noise is found.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "hart/frame.h"

namespace hart {

struct ReaderEvent {
    enum class Kind {
        Frame,       // a frame of the wanted type for one of our addresses
        Refused,     // a frame that looked like one but was refused; see reason
    };
    Kind kind = Kind::Frame;
    Frame frame;               // Frame only
    FrameError error = FrameError::None;  // Refused only
    std::string reason;
    unsigned preambles = 0;  // preambles seen before the delimiter
};

class FrameReader {
public:
    // Whether an address is ours; empty: every address is.
    using AddressFilter = std::function<bool(const Address&)>;

    // `wanted`: FrameType::Reply for a master, FrameType::Request for a
    // slave. Burst frames and frames of the other direction are skipped
    // without an event; frames for an address that is not ours are refused.
    explicit FrameReader(FrameType wanted, AddressFilter ours = {});

    // Takes bytes as they arrive; returns what they completed, in order.
    std::vector<ReaderEvent> feed(std::span<const std::uint8_t> bytes);
    // A delimiter was seen and its frame is not complete yet.
    bool insideFrame() const;
    void setAddressFilter(AddressFilter ours) { ours_ = std::move(ours); }
    // Forgets the bytes held so far.
    void reset() { buffer_.clear(); }
    // Frames skipped because they were burst frames, since construction.
    unsigned burstFramesSkipped() const { return bursts_; }

private:
    // Looks at the buffer once: an event, "need more bytes" or "dropped noise".
    enum class Step { Event, NeedMore, Dropped };
    Step step(ReaderEvent& event);

    FrameType wanted_;
    AddressFilter ours_;
    std::vector<std::uint8_t> buffer_;
    unsigned bursts_ = 0;
};

}  // namespace hart
