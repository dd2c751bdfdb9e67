#include <algorithm>
#include <cmath>

#include "simulator/hart_codes.h"
#include "simulator/positioner_behaviour.h"
#include "simulator/positioner_ids_p.h"

namespace simulator {

using namespace positioner;

namespace {

double clamp255(double v) {
    return std::clamp(std::round(v), 0.0, 255.0);
}

}  // namespace

std::uint8_t PositionerBehaviour::admitProcedure(std::uint8_t number,
                                                 const DeviceMemory& current) const {
    if (running_ != Procedure::None) return hart::kBusy;
    if (current.integer(kActiveMode) != kModeOutOfService) return hart::kAccessRestricted;
    const std::int64_t reason = current.integer(kOutOfServiceReason);
    if (number == kCmdFindStops && reason == kReasonMarginalPower) return hart::kAccessRestricted;
    return hart::kSuccess;
}

void PositionerBehaviour::startProcedure(Procedure procedure, DeviceMemory& memory) {
    running_ = procedure;
    busyLeft_ = busyPolls_;
    memory.setNumber(kProcedureStatus, 1);
}

// One poll of command 251: busy while polls remain, then the run completes
// and the status reads 0.
void PositionerBehaviour::pollProcedure(DeviceMemory& memory) {
    if (running_ == Procedure::None) {
        memory.setNumber(kProcedureStatus, 0);
        return;
    }
    if (busyLeft_ > 0) {
        --busyLeft_;
        memory.setNumber(kProcedureStatus, 1);
        return;
    }
    switch (running_) {
        case Procedure::FindStops:
            completeFindStops(memory);
            break;
        case Procedure::AutoTune:
            completeAutoTune(memory);
            break;
        case Procedure::Diagnostics:
            completeDiagnostics(memory);
            break;
        case Procedure::None:
            break;
    }
    running_ = Procedure::None;
    ++runs_;
    memory.setNumber(kProcedureStatus, 0);
}

void PositionerBehaviour::abortProcedure(DeviceMemory& memory) {
    running_ = Procedure::None;
    busyLeft_ = 0;
    memory.setNumber(kProcedureStatus, 0);
}

void PositionerBehaviour::completeFindStops(DeviceMemory& memory) {
    raiseFault(memory, kFaultFindStops, findStopsFails_);
    if (findStopsFails_) return;
    memory.setNumber(kLowerStopRaw, 4100 + 3 * (runs_ % 7));
    memory.setNumber(kUpperStopRaw, 61900 - 4 * (runs_ % 5));
}

void PositionerBehaviour::completeAutoTune(DeviceMemory& memory) {
    raiseFault(memory, kFaultAutoTune, autoTuneError_ != 0);
    memory.setNumber(kAutoTuneError, autoTuneError_);
    if (autoTuneError_ != 0) return;
    const double supplyPsi = std::max(1.0, memory.number(kAutoTuneSupply) / pressureFactor(memory));
    const double a = memory.number(kAutoTuneAggressiveness);
    memory.setNumber(kGain, std::clamp(60.0 + 4.0 * a + 0.5 * supplyPsi, 10.0, 500.0));
    memory.setNumber(kIntegralTime, std::clamp(120.0 - 3.0 * a, 10.0, 1000.0));
    memory.setNumber(kDerivativeTime, std::clamp(15.0 + a, 0.0, 100.0));
    memory.setNumber(kBeta, 30);
    memory.setNumber(kPAdjustment, std::round(a / 3.0) - 2.0);
    memory.setNumber(kFillTime, 700.0 * 45.0 / supplyPsi);
    memory.setNumber(kExhaustTime, 900.0 * 45.0 / supplyPsi);
    memory.setNumber(kDeadTime, 80 + runs_ % 3);
    memory.setNumber(kOvershoot, std::max(0.0, 5.0 + a / 2.0));
}

// A diagnostics run measures a new current signature: the opening and
// closing curves are the actuator pressure over the travel, spread by
// friction, which grows slightly from run to run.
void PositionerBehaviour::completeDiagnostics(DeviceMemory& memory) {
    raiseFault(memory, kFaultDiagnostics, diagnosticsFails_);
    if (diagnosticsFails_) return;
    Signature& current = signatures_[0];
    const double unit = pressureFactor(memory);
    const double supply = std::max(1.0, supplyPsi_);
    current.friction = 3.0 * (1.0 + 0.02 * runs_) * unit;
    current.springLower = 6.0 * unit;
    current.springUpper = 28.5 * unit;
    current.supply = supply * unit;
    current.responseOpen = 1.4 + 0.05 * (runs_ % 4);
    current.responseClose = 1.7 + 0.05 * (runs_ % 3);
    const double start = std::clamp(memory.number(kDiagnosticsStart), 0.0, 100.0);
    const double end = std::clamp(memory.number(kDiagnosticsEnd), start, 100.0);
    for (std::size_t i = 0; i < 9; ++i) {
        const double travel = (start + (end - start) * static_cast<double>(i) / 8.0) / 100.0;
        const double spring = 6.0 + 22.5 * travel;
        const double half = current.friction / unit / 2.0;
        current.opening[i] = clamp255((spring + half) / supply * 255.0);
        current.closing[i] = clamp255((spring - half) / supply * 255.0);
    }
    current.lowerBound = 2500;
    current.upperBound = 22500;
    writeSignature(current, memory);
}

// While a procedure runs, the valve strokes as the procedure drives it.
std::optional<double> PositionerBehaviour::procedureTarget() const {
    const double half = busyPolls_ / 2.0;
    switch (running_) {
        case Procedure::FindStops:
            return busyLeft_ > half ? 0.0 : 100.0;
        case Procedure::AutoTune:
            return busyLeft_ % 2 == 0 ? 40.0 : 60.0;
        case Procedure::Diagnostics:
            return busyLeft_ > half ? 10.0 : 90.0;
        case Procedure::None:
            return std::nullopt;
    }
    return std::nullopt;
}

PositionerBehaviour::Signature PositionerBehaviour::readSignature(
    const DeviceMemory& memory) const {
    Signature s;
    for (std::size_t i = 0; i < 9; ++i) {
        s.opening[i] = memory.number(kOpeningSamples[i]);
        s.closing[i] = memory.number(kClosingSamples[i]);
    }
    s.lowerBound = memory.number(kSignatureLowerBound);
    s.upperBound = memory.number(kSignatureUpperBound);
    s.friction = memory.number(kFriction);
    s.springLower = memory.number(kSpringRangeLower);
    s.springUpper = memory.number(kSpringRangeUpper);
    s.supply = memory.number(kActuatorSupply);
    s.responseOpen = memory.number(kResponseOpen);
    s.responseClose = memory.number(kResponseClose);
    return s;
}

void PositionerBehaviour::writeSignature(const Signature& s, DeviceMemory& memory) const {
    for (std::size_t i = 0; i < 9; ++i) {
        memory.setNumber(kOpeningSamples[i], s.opening[i]);
        memory.setNumber(kClosingSamples[i], s.closing[i]);
    }
    memory.setNumber(kSignatureLowerBound, s.lowerBound);
    memory.setNumber(kSignatureUpperBound, s.upperBound);
    memory.setNumber(kFriction, s.friction);
    memory.setNumber(kSpringRangeLower, s.springLower);
    memory.setNumber(kSpringRangeUpper, s.springUpper);
    memory.setNumber(kActuatorSupply, s.supply);
    memory.setNumber(kResponseOpen, s.responseOpen);
    memory.setNumber(kResponseClose, s.responseClose);
}

void PositionerBehaviour::saveSignature(DeviceMemory& memory) {
    const std::int64_t slot = memory.integer(kSignatureStore);
    if (slot == 1 || slot == 2) signatures_[static_cast<std::size_t>(slot)] = signatures_[0];
}

// Commands 191 and 192 reply with the signature that their request selects.
void PositionerBehaviour::selectSignature(DeviceMemory& memory) {
    const std::int64_t slot = memory.integer(kSignatureSelect);
    writeSignature(signatures_[slot >= 0 && slot <= 2 ? static_cast<std::size_t>(slot) : 0],
                   memory);
}

}  // namespace simulator
