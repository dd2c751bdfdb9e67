#include "frame/simulator_backend.h"

namespace frame {
namespace {

constexpr std::string_view kSimulatorScheme = "sim:";

LineAnswer lineAnswerOf(const simulator::Answer& answer) {
    LineAnswer line;
    switch (answer.kind) {
        case simulator::AnswerKind::Reply:
            line.kind = LineAnswer::Kind::Reply;
            break;
        case simulator::AnswerKind::CommunicationError:
            line.kind = LineAnswer::Kind::CommunicationError;
            break;
        case simulator::AnswerKind::NoAnswer:
            line.kind = LineAnswer::Kind::NoAnswer;
            break;
    }
    line.responseCode = answer.responseCode;
    line.deviceStatus = answer.deviceStatus;
    line.data = answer.data;
    line.reason = answer.communicationError;
    return line;
}

}  // namespace

SimulatorBackend::SimulatorBackend(std::string name,
                                   std::unique_ptr<simulator::SimulatedPackage> package)
    : name_(std::move(name)), package_(std::move(package)) {}

bool SimulatorBackend::answersAt(std::uint8_t shortAddress) {
    return package_->device().pollingAddress() == shortAddress;
}

LineAnswer SimulatorBackend::transact(std::uint8_t command, std::span<const std::uint8_t> request) {
    return lineAnswerOf(package_->slave().transact(command, request));
}

BackendOpen openBackend(std::string_view spec, const std::filesystem::path& devicesRoot,
                        simulator::Clock clock) {
    BackendOpen open;
    if (!spec.starts_with(kSimulatorScheme) || spec.size() == kSimulatorScheme.size()) {
        open.error = "unknown device '" + std::string(spec) +
                     "': expected sim:positioner, sim:level or sim:FOLDER";
        return open;
    }
    const std::string_view package = spec.substr(kSimulatorScheme.size());
    const std::filesystem::path folder = package.find('/') != std::string_view::npos
                                             ? std::filesystem::path(package)
                                             : devicesRoot / package;
    simulator::PackageOptions options;
    options.clock = std::move(clock);
    simulator::PackageLoad load = simulator::openPackage(folder, options);
    if (!load) {
        open.error = "device '" + std::string(spec) + "': " + load.error;
        return open;
    }
    open.warnings = std::move(load.warnings);
    open.backend = std::make_unique<SimulatorBackend>(std::string(spec), std::move(load.package));
    return open;
}

}  // namespace frame
