#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "simulator/clock.h"
#include "simulator/description_device.h"
#include "simulator/hart_slave.h"

namespace simulator {

class PositionerBehaviour;
class LevelBehaviour;

struct PackageOptions {
    Clock clock;             // empty: the steady clock
    unsigned busyPolls = 3;  // procedure status polls that answer busy
    DeviceOptions device;
};

// The behaviour of the device that command 0 identifies (manufacturer id and
// device type from its reply items 1 and 2): the positioner's, the level
// device's, the universal package's pressure transmitter's, or none (null) for
// a device the simulator has no behaviour for.
std::unique_ptr<DeviceBehaviour> behaviourFor(const DeviceMemory& memory,
                                              const PackageOptions& options);

// A simulated device built from a package folder: the profile
// "simulator-profile.xml" names the description file beside it; memory starts
// from the description's defaults, then the profile's values.
class SimulatedPackage {
public:
    // Puts the device behind a slave of its own.
    explicit SimulatedPackage(std::unique_ptr<DescriptionDevice> device);

    HartSlave& slave() { return *slave_; }
    DescriptionDevice& device() { return *device_; }
    // The device's own behaviour when it is that kind of device, else null.
    PositionerBehaviour* positioner() { return positioner_; }
    LevelBehaviour* level() { return level_; }

private:
    DescriptionDevice* device_;
    PositionerBehaviour* positioner_;
    LevelBehaviour* level_;
    std::unique_ptr<HartSlave> slave_;
};

// The simulated device, or the reason it could not be built. Warnings name
// description items and profile values that were left out.
struct PackageLoad {
    std::unique_ptr<SimulatedPackage> package;
    std::string error;
    std::vector<std::string> warnings;
    explicit operator bool() const { return package != nullptr; }
};

PackageLoad openPackage(const std::filesystem::path& folder, PackageOptions options = {});

// A device from a description file and an optional profile (empty path: none).
PackageLoad openDescription(const std::filesystem::path& descriptionFile,
                            const std::filesystem::path& profileFile, PackageOptions options = {});

}  // namespace simulator
