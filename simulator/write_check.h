#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "simulator/device_memory.h"

namespace simulator {

// What the "range" constant of a numeric parameter allows: intervals
// ("[0 to 100]") and single enumerated values ("[0,Off][1,On]", "[1=On]").
// Unit lists in braces ("{6,psi}") are not part of it.
struct AllowedValues {
    struct Interval {
        double lo;
        double hi;
    };
    std::vector<Interval> intervals;
    std::vector<double> values;
    bool empty() const { return intervals.empty() && values.empty(); }
};

AllowedValues parseRange(std::string_view rangeText);

// The response code with which the device refuses the value that a request
// wrote into `id` (staged, not yet kept): 0 when it may be kept, 2 (invalid
// selection) for a value outside an enumeration, 3 or 4 for a value above or
// below its range or limits. Limits that point to another parameter use that
// parameter's value, when it is one of the device's own (HART interface);
// limits kept only by the DTM (internal interface) are not the device's
// business. Composites are checked component by component.
std::uint8_t checkWrittenValue(const DeviceMemory& staged, ReferenceId id);

}  // namespace simulator
