#pragma once
// The in-process simulator as a HART line: "sim:positioner", "sim:level" or
// "sim:FOLDER" (a package folder with a simulator profile).

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "frame/hart_backend.h"
#include "simulator/clock.h"
#include "simulator/fault_plan.h"
#include "simulator/simulated_package.h"

namespace frame {

class SimulatorBackend final : public SynchronousBackend {
public:
    SimulatorBackend(std::string name, std::unique_ptr<simulator::SimulatedPackage> package);

    std::string name() const override { return name_; }
    // The device answers at its polling address (command 6 changes it).
    bool answersAt(std::uint8_t shortAddress) override;
    LineAnswer transact(std::uint8_t command, std::span<const std::uint8_t> request) override;

    // The simulated device's programmed failures.
    simulator::FaultPlan& faults() { return package_->slave().faults(); }
    simulator::SimulatedPackage& package() { return *package_; }

private:
    std::string name_;
    std::unique_ptr<simulator::SimulatedPackage> package_;
};

struct BackendOpen {
    std::unique_ptr<HartBackend> backend;
    std::string error;
    std::vector<std::string> warnings;  // description items the simulator left out
    explicit operator bool() const { return backend != nullptr; }
};

// Opens the line that `spec` names. Package names resolve below devicesRoot;
// a spec holding a '/' names a folder. The simulator reads its time from clock.
BackendOpen openBackend(std::string_view spec, const std::filesystem::path& devicesRoot,
                        simulator::Clock clock);

}  // namespace frame
