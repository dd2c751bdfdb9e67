#pragma once
// Data-link timing of the FSK physical layer: 1200 bit/s, each character
// 11 bits on the wire (start, 8 data, odd parity, stop).

#include <chrono>
#include <cstddef>

namespace hart {

inline constexpr unsigned kBitsPerSecond = 1200;
inline constexpr unsigned kBitsPerCharacter = 11;

using Microseconds = std::chrono::microseconds;
using Milliseconds = std::chrono::milliseconds;

// Time one character takes on the wire: 9167 us.
inline constexpr Microseconds kCharacterTime{(kBitsPerCharacter * 1000000 + kBitsPerSecond / 2) /
                                             kBitsPerSecond};

constexpr Microseconds wireTime(std::size_t characters) {
    return Microseconds{static_cast<long long>(characters) * kBitsPerCharacter * 1000000 / kBitsPerSecond};
}

constexpr Milliseconds characterTimes(unsigned count) {
    return std::chrono::duration_cast<Milliseconds>(wireTime(count) + Microseconds{999});
}

// Slave time-out: a slave starts its reply within 28 character times of the request's end.
inline constexpr Milliseconds kSlaveTimeout = characterTimes(28);
// RT1: how long a master waits for a reply before it may send again;
// the primary master waits 33 character times, the secondary 41.
inline constexpr Milliseconds kPrimaryMasterRt1 = characterTimes(33);
inline constexpr Milliseconds kSecondaryMasterRt1 = characterTimes(41);
// RT2: the link quiet time a master leaves after a reply for the other master.
inline constexpr Milliseconds kRt2 = characterTimes(8);
// Longest gap allowed between two characters of one frame.
inline constexpr Milliseconds kInterCharacterGap = characterTimes(1);

}  // namespace hart
