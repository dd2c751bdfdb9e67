#include "simulator/positioner_behaviour.h"

#include <algorithm>
#include <cmath>

#include "simulator/hart_codes.h"
#include "simulator/positioner_ids_p.h"

namespace simulator {

using namespace positioner;

namespace {

bool isKnownMode(std::int64_t mode) {
    return mode == kModeOutOfService || mode == kModeManual || mode == kModeNormal;
}

}  // namespace

PositionerBehaviour::PositionerBehaviour(unsigned busyPolls) : busyPolls_(busyPolls) {}

void PositionerBehaviour::start(DeviceMemory& memory, std::int64_t nowMs) {
    startMs_ = lastMs_ = nowMs;
    signalBase_ = memory.number(kInputSignal);
    boardTemperatureBase_ = memory.number(kBoardTemperature);
    const double toPsi = 1.0 / pressureFactor(memory);
    actuator1Psi_ = memory.number(kActuatorPressure1) * toPsi;
    actuator2Psi_ = memory.number(kActuatorPressure2) * toPsi;
    supplyPsi_ = supplyBasePsi_ = memory.number(kSupplyPressure) * toPsi;
    pilotPsi_ = memory.number(kPilotPressure) * toPsi;
    const Signature initial = readSignature(memory);
    signatures_.fill(initial);
    memory.setNumber(kProcedureStatus, 0);
    updateStatus(memory);
}

void PositionerBehaviour::advance(DeviceMemory& memory, std::int64_t nowMs) {
    if (heldSignal_) {
        memory.setNumber(kInputSignal, *heldSignal_);
        memory.setNumber(kSignalRaw, *heldSignal_ * 1000.0);
    }
    if (nowMs <= lastMs_) return;
    const double dtMs = static_cast<double>(nowMs - lastMs_);
    lastMs_ = nowMs;
    const double elapsedMs = static_cast<double>(nowMs - startMs_);
    if (!heldSignal_) {
        memory.setNumber(kInputSignal, signalBase_ + 4.0 * std::sin(2.0 * 3.141592653589793 *
                                                                    elapsedMs / 120000.0));
    }
    moveValve(memory, dtMs);
    movePressures(memory, dtMs);
    moveTemperatures(memory, elapsedMs);
    updateRawData(memory);
    updateSwitches(memory);
    updateStatus(memory);
}

std::uint8_t PositionerBehaviour::admit(const CommandInfo& command, const DeviceMemory& current,
                                        const DeviceMemory& staged) {
    const std::int64_t mode = current.integer(kActiveMode);
    switch (command.number) {
        case kCmdWriteMode:
            if (running_ != Procedure::None) return hart::kBusy;
            return isKnownMode(staged.integer(kModeToSet)) ? hart::kSuccess
                                                           : hart::kInvalidSelection;
        case kCmdManualSetpoint: {
            if (mode == kModeNormal) return hart::kAccessRestricted;
            if (staged.integer(kSetpointSource) != kSourceSignal) return hart::kSuccess;
            // With the signal as source the setpoint is a current in mA.
            const double milliamps = staged.number(kSetpoint);
            if (milliamps < 3.8) return hart::kParameterTooSmall;
            if (milliamps > 20.5) return hart::kParameterTooLarge;
            return hart::kSuccess;
        }
        case kCmdReleaseManualStop:
            return mode == kModeNormal ? hart::kAccessRestricted : hart::kSuccess;
        case kCmdFindStops:
        case kCmdAutoTune:
        case kCmdDiagnostics:
            return admitProcedure(command.number, current);
        default:
            return hart::kSuccess;
    }
}

std::uint8_t PositionerBehaviour::execute(const CommandInfo& command, DeviceMemory& memory) {
    switch (command.number) {
        case kCmdWriteMode:
            changeMode(memory);
            break;
        case kCmdManualSetpoint:
            manualSetpoint(memory);
            break;
        case kCmdReleaseManualStop:
            releaseManualStop(memory);
            break;
        case kCmdFindStops:
            startProcedure(Procedure::FindStops, memory);
            break;
        case kCmdAutoTune:
            startProcedure(Procedure::AutoTune, memory);
            break;
        case kCmdDiagnostics:
            startProcedure(Procedure::Diagnostics, memory);
            break;
        case kCmdProcedureStatus:
            pollProcedure(memory);
            break;
        case kCmdAbortProcedure:
            abortProcedure(memory);
            break;
        case kCmdSaveSignature:
            saveSignature(memory);
            break;
        case kCmdReadOpeningSignature:
        case kCmdReadClosingSignature:
            selectSignature(memory);
            break;
        case kCmdDeviceReset:
            deviceReset(memory);
            break;
        case kCmdClearFaults:
            clearFaults(memory);
            break;
        case kCmdResetHistorian:
            resetHistorian(memory);
            break;
        case kCmdResetCalibration:
            resetCalibration(memory);
            break;
        default:
            break;
    }
    // A new pressure unit shows in the very next reply.
    publishPressures(memory);
    updateStatus(memory);
    return hart::kSuccess;
}

std::uint8_t PositionerBehaviour::statusBits(const DeviceMemory& memory) const {
    std::uint8_t bits = 0;
    if (memory.integer(kStatusSummary) != 0) bits |= hart::kMoreStatusAvailable;
    for (std::size_t severe :
         {kFaultNvmChecksum, kFaultRam, kFaultFirmwareChecksum, kFaultInternal}) {
        if (memory.integer(kCurrentFaults[severe]) != 0) bits |= hart::kDeviceMalfunction;
    }
    const double signal = memory.number(kInputSignal);
    if (signal < 3.8 || signal > 20.5) bits |= hart::kPrimaryOutOfLimits;
    return bits;
}

void PositionerBehaviour::changeMode(DeviceMemory& memory) {
    const std::int64_t requested = memory.integer(kModeToSet);
    const std::int64_t previous = memory.integer(kActiveMode);
    memory.setNumber(kActiveMode, static_cast<double>(requested));
    if (requested == kModeNormal) {
        memory.setNumber(kOutOfServiceReason, kReasonSetup);
        memory.setNumber(kSetpointSource, kSourceSignal);
        memory.setNumber(kManualStopDirection, 0);
    } else if (requested == kModeManual && previous == kModeNormal) {
        // Bumpless: the valve holds where the signal had put it.
        memory.setNumber(kSetpointSource, kSourcePosition);
        memory.setNumber(kSetpoint, memory.number(kPosition));
    }
}

void PositionerBehaviour::manualSetpoint(DeviceMemory& memory) {
    const std::int64_t source = memory.integer(kSetpointSource);
    if (source == kSourceClose) memory.setNumber(kManualStopDirection, 0);
    if (source == kSourceOpen) memory.setNumber(kManualStopDirection, 1);
}

void PositionerBehaviour::releaseManualStop(DeviceMemory& memory) {
    memory.setNumber(kSetpointSource, kSourcePosition);
    memory.setNumber(kSetpoint, memory.number(kPosition));
    memory.setNumber(kManualStopDirection, 0);
}

void PositionerBehaviour::deviceReset(DeviceMemory& memory) {
    abortProcedure(memory);
    if (memory.integer(kActiveMode) == kModeNormal)
        memory.setNumber(kSetpointSource, kSourceSignal);
    raiseFault(memory, kFaultDeviceReset, true);
}

void PositionerBehaviour::clearFaults(DeviceMemory& memory) {
    const bool historic = memory.integer(kClearFaultsSelect) == 1;
    for (ReferenceId id : historic ? kHistoricFaults : kCurrentFaults) memory.setNumber(id, 0);
}

void PositionerBehaviour::resetHistorian(DeviceMemory& memory) {
    for (ReferenceId id : {kTimeClosed, kTimeOpen, kTimeNear, kCycles, kTotalTravel})
        memory.setNumber(id, 0);
    closedSeconds_ = openSeconds_ = nearSeconds_ = travelPercent_ = 0;
}

void PositionerBehaviour::resetCalibration(DeviceMemory& memory) {
    for (ReferenceId id : {kLowerStopRaw, kUpperStopRaw}) {
        const ParameterInfo* info = memory.description().parameter(id);
        if (info != nullptr && info->defaultText) memory.setText(id, *info->defaultText);
    }
    raiseFault(memory, kFaultCalibration, false);
}

// Sets or clears a current fault flag; raising one also records it in the
// historic flags, which only command 138 clears.
void PositionerBehaviour::raiseFault(DeviceMemory& memory, std::size_t index, bool active) {
    memory.setNumber(kCurrentFaults[index], active ? 1 : 0);
    if (active) memory.setNumber(kHistoricFaults[index], 1);
}

void PositionerBehaviour::updateStatus(DeviceMemory& memory) {
    bool any = false;
    Bytes additional(memory.description().parameter(kAdditionalStatus) != nullptr
                         ? memory.description().parameter(kAdditionalStatus)->size
                         : 0,
                     0);
    for (std::size_t k = 0; k < kCurrentFaults.size(); ++k) {
        if (memory.integer(kCurrentFaults[k]) == 0) continue;
        any = true;
        if (k / 8 < additional.size())
            additional[additional.size() - 1 - k / 8] |= static_cast<std::uint8_t>(1u << (k % 8));
    }
    memory.setNumber(kStatusSummary, any ? 1 : 0);
    if (!additional.empty()) memory.decode(kAdditionalStatus, additional);
}

}  // namespace simulator
