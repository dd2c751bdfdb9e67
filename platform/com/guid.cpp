#include "platform/com/guid.h"

#include <cstdio>
#include <random>

namespace com {

std::string formatGuidBare(const GUID& g) {
    char text[37];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  static_cast<unsigned>(g.Data1), unsigned{g.Data2}, unsigned{g.Data3},
                  unsigned{g.Data4[0]}, unsigned{g.Data4[1]}, unsigned{g.Data4[2]},
                  unsigned{g.Data4[3]}, unsigned{g.Data4[4]}, unsigned{g.Data4[5]},
                  unsigned{g.Data4[6]}, unsigned{g.Data4[7]});
    return text;
}

std::string formatGuid(const GUID& g) { return "{" + formatGuidBare(g) + "}"; }

GUID newGuid() {
    // One generator per thread, seeded from the operating system's entropy source.
    thread_local std::mt19937_64 engine = [] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }();
    const std::uint64_t high = engine();
    const std::uint64_t low = engine();
    GUID g;
    g.Data1 = static_cast<std::uint32_t>(high >> 32);
    g.Data2 = static_cast<std::uint16_t>(high >> 16);
    g.Data3 = static_cast<std::uint16_t>((high & 0x0FFF) | 0x4000);  // version 4
    for (int i = 0; i < 8; ++i) g.Data4[i] = static_cast<std::uint8_t>(low >> (56 - 8 * i));
    g.Data4[0] = static_cast<std::uint8_t>((g.Data4[0] & 0x3F) | 0x80);  // variant 1
    return g;
}

std::size_t GuidHash::operator()(const GUID& g) const noexcept {
    std::uint64_t h = 1469598103934665603ull;  // FNV-1a over the 16 bytes
    auto mix = [&h](std::uint8_t b) {
        h ^= b;
        h *= 1099511628211ull;
    };
    for (int i = 0; i < 4; ++i) mix(static_cast<std::uint8_t>(g.Data1 >> (8 * i)));
    for (int i = 0; i < 2; ++i) mix(static_cast<std::uint8_t>(g.Data2 >> (8 * i)));
    for (int i = 0; i < 2; ++i) mix(static_cast<std::uint8_t>(g.Data3 >> (8 * i)));
    for (std::uint8_t b : g.Data4) mix(b);
    return static_cast<std::size_t>(h);
}

}  // namespace com
