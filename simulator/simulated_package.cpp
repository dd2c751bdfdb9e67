#include "simulator/simulated_package.h"

#include "simulator/level_behaviour.h"
#include "simulator/positioner_behaviour.h"
#include "simulator/positioner_ids_p.h"
#include "simulator/pressure_behaviour.h"
#include "simulator/simulator_profile.h"

namespace simulator {
namespace {

constexpr int kLevelManufacturerId = 171;
constexpr int kLevelDeviceType = 210;

// The parameter that command 0 replies at `position`, or 0.
ReferenceId identityItem(const DeviceDescription& description, std::size_t position) {
    const CommandInfo* command = description.command(0);
    if (command == nullptr) return 0;
    for (const ReplyItem& item : command->reply) {
        if (item.position == position && item.size == 1) return item.id;
    }
    return 0;
}

void append(std::vector<std::string>& to, const std::vector<std::string>& from) {
    to.insert(to.end(), from.begin(), from.end());
}

}  // namespace

SimulatedPackage::SimulatedPackage(std::unique_ptr<DescriptionDevice> device)
    : device_(device.get()),
      positioner_(dynamic_cast<PositionerBehaviour*>(&device->behaviour())),
      level_(dynamic_cast<LevelBehaviour*>(&device->behaviour())),
      slave_(std::make_unique<HartSlave>(std::move(device))) {}

std::unique_ptr<DeviceBehaviour> behaviourFor(const DeviceMemory& memory,
                                              const PackageOptions& options) {
    const std::int64_t manufacturer = memory.integer(identityItem(memory.description(), 1));
    const std::int64_t deviceType = memory.integer(identityItem(memory.description(), 2));
    if (manufacturer == positioner::kManufacturerId && deviceType == positioner::kDeviceType) {
        return std::make_unique<PositionerBehaviour>(options.busyPolls);
    }
    if (manufacturer == kLevelManufacturerId && deviceType == kLevelDeviceType)
        return std::make_unique<LevelBehaviour>();
    if (manufacturer == PressureBehaviour::kManufacturerId &&
        deviceType == PressureBehaviour::kDeviceType)
        return std::make_unique<PressureBehaviour>();
    return nullptr;
}

PackageLoad openDescription(const std::filesystem::path& descriptionFile,
                            const std::filesystem::path& profileFile, PackageOptions options) {
    PackageLoad result;
    DescriptionLoad description = loadDescriptionFile(descriptionFile.string());
    if (!description) {
        result.error = description.error;
        return result;
    }
    result.warnings = description.warnings;
    DeviceMemory memory(description.description);
    append(result.warnings, memory.applyDefaults());
    if (!profileFile.empty()) {
        ProfileLoad profile = loadProfileFile(profileFile.string());
        if (!profile) {
            result.error = profileFile.string() + ": " + profile.error;
            return result;
        }
        append(result.warnings, applyProfile(*profile.profile, memory));
    }
    std::unique_ptr<DeviceBehaviour> behaviour = behaviourFor(memory, options);
    auto device = std::make_unique<DescriptionDevice>(std::move(memory), std::move(behaviour),
                                                      options.clock ? options.clock : steadyClock(),
                                                      options.device);
    result.package = std::make_unique<SimulatedPackage>(std::move(device));
    return result;
}

PackageLoad openPackage(const std::filesystem::path& folder, PackageOptions options) {
    const std::filesystem::path profileFile = folder / kProfileFileName;
    ProfileLoad profile = loadProfileFile(profileFile.string());
    if (!profile) {
        PackageLoad result;
        result.error = profileFile.string() + ": " + profile.error;
        return result;
    }
    if (profile.profile->descriptionFile.empty()) {
        PackageLoad result;
        result.error = profileFile.string() + ": the profile names no description file";
        return result;
    }
    return openDescription(folder / profile.profile->descriptionFile, profileFile,
                           std::move(options));
}

}  // namespace simulator
