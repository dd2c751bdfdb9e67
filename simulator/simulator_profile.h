#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/device_memory.h"

namespace simulator {

// The initial values of a simulated device, beside its package as
// "simulator-profile.xml":
//
//   <simulator_profile description="Ravik.zor" short_address="0">
//     <value reference_id="1122622930">FV-2041</value>
//     ...
//   </simulator_profile>
//
// "description" names the device description file in the same folder.
// "short_address" (optional) sets the value that command 6 writes. Each
// value is the display text of one parameter (numbers in decimal or 0x hex,
// dates as YYYY-MM-DD, bitmaps as their bit string); other attributes
// (labels, identification) are notes for the reader.
struct ProfileValue {
    ReferenceId id = 0;
    std::string text;
    int line = 0;
};

struct SimulatorProfile {
    std::string descriptionFile;
    std::optional<unsigned> shortAddress;
    std::vector<ProfileValue> values;  // document order
};

struct ProfileLoad {
    std::optional<SimulatorProfile> profile;
    std::string error;
    explicit operator bool() const { return profile.has_value(); }
};

ProfileLoad loadProfileFile(const std::string& path);
ProfileLoad loadProfileText(std::string_view xmlText);

// Sets the profile's values in document order; answers one message per value
// that names no parameter of the description or does not fit its type (that
// value is left as it was).
std::vector<std::string> applyProfile(const SimulatorProfile& profile, DeviceMemory& memory);

inline constexpr const char* kProfileFileName = "simulator-profile.xml";

}  // namespace simulator
