#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "simulator/device_description.h"
#include "simulator/value_coding.h"

namespace simulator {

// The simulated device's memory: one value per parameter reference id of the
// description, internal parameters included. Composites read and write their
// components in order; bit ranges read and write bits of their parent. Every
// accessor ignores ids the description does not know (reads give 0 or "").
// Copyable: the slave stages a request's writes on a copy and keeps it only
// when the whole request is accepted.
class DeviceMemory {
public:
    explicit DeviceMemory(std::shared_ptr<const DeviceDescription> description);

    // Sets every parameter that has a default constant to it, in document
    // order; answers the defaults that do not fit their data type.
    std::vector<std::string> applyDefaults();

    const DeviceDescription& description() const { return *description_; }
    const std::shared_ptr<const DeviceDescription>& sharedDescription() const {
        return description_;
    }
    bool has(ReferenceId id) const { return description_->parameter(id) != nullptr; }

    // Numbers: integers, floats, bit ranges, pointers (the designated id).
    // setNumber rounds and clamps to what the parameter can hold; floats of 4
    // bytes keep single precision, as on the wire.
    double number(ReferenceId id) const;
    void setNumber(ReferenceId id, double value);
    // number() truncated towards zero; 0 for a value that is not finite.
    std::int64_t integer(ReferenceId id) const;

    // Display texts (profiles, defaults, tests). setText answers false and
    // keeps the value when the text does not fit the type.
    std::string text(ReferenceId id) const;
    bool setText(ReferenceId id, std::string_view text);

    // Exactly `n` bytes of the parameter's value as a HART frame carries it.
    Bytes encode(ReferenceId id, std::size_t n) const;
    // Takes the value from `bytes` (the parameter's wire size of them).
    void decode(ReferenceId id, std::span<const std::uint8_t> bytes);

    // The parameter a command item addresses: a pointer parameter stands for
    // the parameter it designates unless the reference type is "pointer_value".
    ReferenceId resolve(ReferenceId id, std::string_view referenceType) const;

    // True when the parameter's bytes are the same in both memories.
    bool sameValue(const DeviceMemory& other, ReferenceId id) const;

private:
    const ParameterInfo* info(ReferenceId id) const { return description_->parameter(id); }
    Value stored(ReferenceId id) const;
    void store(const ParameterInfo& info, Value value);
    std::uint64_t readBits(const ParameterInfo& range) const;
    void writeBits(const ParameterInfo& range, std::uint64_t bits);
    Bytes encodeAt(const ParameterInfo& info, std::size_t n, int depth) const;
    void decodeAt(const ParameterInfo& info, std::span<const std::uint8_t> bytes, int depth);

    std::shared_ptr<const DeviceDescription> description_;
    std::unordered_map<ReferenceId, Value> values_;
};

}  // namespace simulator
