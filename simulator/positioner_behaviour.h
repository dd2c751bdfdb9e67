#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "simulator/device_behaviour.h"

namespace simulator {

// The valve positioner's own behaviour:
// - operating modes through command 135 (0 out of service, setup with reason
//   0; 1 manual; 3 normal), read back by 249; commands that need another mode
//   answer 16 (access restricted);
// - the manual setpoint (155, modes 0 and 1) and its manual stops, released by 179;
// - the procedures find stops (180), auto tuning (189) and diagnostics (190),
//   each only in setup mode and one at a time (32 busy otherwise); command 251
//   reports the procedure status 1 (running) for `busyPolls` polls and then
//   completes it, writing its results (stops, tuning values, signature and
//   the fault flags that command 136 reads); 253 aborts;
// - signatures: the last diagnostics run is the current one; 184 saves it as
//   the saved or baseline signature, 191 and 192 read the one selected;
// - resets: 42 (device), 138 (current or historic faults), 140 (historian),
//   183 (calibration);
// - values that move with time: input signal, position following its
//   setpoint, pressures, temperatures, raw counts, switch states, historian.
// The status summary and the field-device status (more status available,
// malfunction) follow the current fault flags.
class PositionerBehaviour : public DeviceBehaviour {
public:
    enum class Procedure { None, FindStops, AutoTune, Diagnostics };

    explicit PositionerBehaviour(unsigned busyPolls = 3);

    // Programmed outcomes of the next runs (they stay until changed).
    void setBusyPolls(unsigned polls) { busyPolls_ = polls; }
    void setFindStopsFails(bool fails) { findStopsFails_ = fails; }
    // 0: auto tuning succeeds; otherwise it fails with this error code (33,
    // 45, 46, 55, 66, 77 are the known ones).
    void setAutoTuneError(std::uint8_t code) { autoTuneError_ = code; }
    void setDiagnosticsFails(bool fails) { diagnosticsFails_ = fails; }

    Procedure runningProcedure() const { return running_; }

    // The loop current that the positioner receives, in mA, as a current
    // source would apply it (for calibrating the signal, say); nullopt lets it
    // swing slowly around its initial value again. Shows from the next command on.
    void setInputSignal(std::optional<double> milliamps) { heldSignal_ = milliamps; }

    void start(DeviceMemory& memory, std::int64_t nowMs) override;
    void advance(DeviceMemory& memory, std::int64_t nowMs) override;
    std::uint8_t admit(const CommandInfo& command, const DeviceMemory& current,
                       const DeviceMemory& staged) override;
    std::uint8_t execute(const CommandInfo& command, DeviceMemory& memory) override;
    std::uint8_t statusBits(const DeviceMemory& memory) const override;

private:
    struct Signature {
        std::array<double, 9> opening{};
        std::array<double, 9> closing{};
        double lowerBound = 0, upperBound = 0;
        double friction = 0, springLower = 0, springUpper = 0;
        double supply = 0, responseOpen = 0, responseClose = 0;
    };

    // Modes and setpoints (positioner_behaviour.cpp).
    void changeMode(DeviceMemory& memory);
    void manualSetpoint(DeviceMemory& memory);
    void releaseManualStop(DeviceMemory& memory);
    void deviceReset(DeviceMemory& memory);
    void clearFaults(DeviceMemory& memory);
    void resetHistorian(DeviceMemory& memory);
    void resetCalibration(DeviceMemory& memory);
    void raiseFault(DeviceMemory& memory, std::size_t index, bool active);
    void updateStatus(DeviceMemory& memory);

    // Procedures and signatures (positioner_procedures.cpp).
    std::uint8_t admitProcedure(std::uint8_t number, const DeviceMemory& current) const;
    void startProcedure(Procedure procedure, DeviceMemory& memory);
    void pollProcedure(DeviceMemory& memory);
    void abortProcedure(DeviceMemory& memory);
    void completeFindStops(DeviceMemory& memory);
    void completeAutoTune(DeviceMemory& memory);
    void completeDiagnostics(DeviceMemory& memory);
    std::optional<double> procedureTarget() const;
    Signature readSignature(const DeviceMemory& memory) const;
    void writeSignature(const Signature& signature, DeviceMemory& memory) const;
    void saveSignature(DeviceMemory& memory);
    void selectSignature(DeviceMemory& memory);

    // Motion (positioner_motion.cpp).
    double targetPosition(const DeviceMemory& memory) const;
    double characterize(const DeviceMemory& memory, double percent) const;
    void moveValve(DeviceMemory& memory, double dtMs);
    void movePressures(DeviceMemory& memory, double dtMs);
    void publishPressures(DeviceMemory& memory) const;
    void moveTemperatures(DeviceMemory& memory, double elapsedMs);
    void updateRawData(DeviceMemory& memory);
    void updateSwitches(DeviceMemory& memory);
    void updateHistorian(DeviceMemory& memory, double dtMs, double travel);
    double pressureFactor(const DeviceMemory& memory) const;

    unsigned busyPolls_;
    bool findStopsFails_ = false;
    std::uint8_t autoTuneError_ = 0;
    bool diagnosticsFails_ = false;

    Procedure running_ = Procedure::None;
    unsigned busyLeft_ = 0;
    unsigned runs_ = 0;  // completed procedure runs, for run-to-run variation

    std::array<Signature, 3> signatures_{};  // current, saved, baseline

    std::int64_t startMs_ = 0;
    std::int64_t lastMs_ = 0;
    double signalBase_ = 12.0;
    std::optional<double> heldSignal_;
    double boardTemperatureBase_ = 250.0;
    double supplyBasePsi_ = 45.0;
    // Pressures follow the valve with a lag; kept in psi so that a change of
    // the pressure unit converts them instead of restarting them.
    double actuator1Psi_ = 0, actuator2Psi_ = 0, supplyPsi_ = 0, pilotPsi_ = 0;
    double closedSeconds_ = 0, openSeconds_ = 0, nearSeconds_ = 0, travelPercent_ = 0;
    int lastDirection_ = 0;
};

}  // namespace simulator
