#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "simulator/clock.h"
#include "simulator/simulated_package.h"

// Helpers of the simulator tests. The decoders here are written apart from the
// simulator's own coding, so that a coding fault shows up against them.
namespace simtest {

using Bytes = std::vector<std::uint8_t>;

// Time for the simulator, moved only by the test.
struct FakeClock {
    std::int64_t now = 1000;
    simulator::Clock clock() {
        return [this] { return now; };
    }
};

inline std::string dataFile(const std::string& name) {
    return std::string(HARTDTM_TEST_DATA) + "/simulator/" + name;
}
inline std::string packageFolder(const std::string& name) {
    return std::string(HARTDTM_SOURCE_ROOT) + "/devices/" + name;
}

inline std::uint64_t beUnsigned(const Bytes& data, std::size_t position, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value = value * 256 + data.at(position + i);
    return value;
}

inline std::int64_t beSigned(const Bytes& data, std::size_t position, std::size_t size) {
    const std::uint64_t raw = beUnsigned(data, position, size);
    const std::uint64_t half = std::uint64_t{1} << (8 * size - 1);
    return raw >= half ? static_cast<std::int64_t>(raw) - static_cast<std::int64_t>(2 * half)
                       : static_cast<std::int64_t>(raw);
}

inline float beFloat(const Bytes& data, std::size_t position) {
    const auto raw = static_cast<std::uint32_t>(beUnsigned(data, position, 4));
    float value;
    std::memcpy(&value, &raw, sizeof value);
    return value;
}

inline Bytes floatBytes(float value) {
    std::uint32_t raw;
    std::memcpy(&raw, &value, sizeof raw);
    return {static_cast<std::uint8_t>(raw >> 24), static_cast<std::uint8_t>(raw >> 16),
            static_cast<std::uint8_t>(raw >> 8), static_cast<std::uint8_t>(raw)};
}

// HART packed ASCII, three bytes to four characters at a time.
inline std::string unpacked(const Bytes& data, std::size_t position, std::size_t size) {
    std::string text;
    for (std::size_t group = 0; group + 3 <= size; group += 3) {
        const std::uint32_t word = (std::uint32_t{data.at(position + group)} << 16) |
                                   (std::uint32_t{data.at(position + group + 1)} << 8) |
                                   data.at(position + group + 2);
        for (int shift = 18; shift >= 0; shift -= 6) {
            const unsigned code = (word >> shift) & 0x3F;
            text.push_back(static_cast<char>(code < 0x20 ? code + 0x40 : code));
        }
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A package opened with a fake clock; fails the test when it does not open.
inline std::unique_ptr<simulator::SimulatedPackage> open(const std::string& folder,
                                                         FakeClock& clock, unsigned busyPolls = 3) {
    simulator::PackageOptions options;
    options.clock = clock.clock();
    options.busyPolls = busyPolls;
    simulator::PackageLoad load = simulator::openPackage(folder, options);
    EXPECT_TRUE(load) << load.error;
    return std::move(load.package);
}

}  // namespace simtest
