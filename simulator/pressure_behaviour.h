#pragma once

#include <cstdint>

#include "simulator/device_behaviour.h"

namespace simulator {

// A HART 7 pressure transmitter that has nothing but the universal and a few
// common-practice commands (the universal package's simulator profile):
// - the pressure swings around where it started; percent of range, loop
//   current and the sensor temperature follow (commands 1, 2, 3);
// - with its loop current mode disabled (command 6) the current stays at
//   4 mA and the status says so;
// - while it is write-protected (command 15 reads the protection) every
//   write command is refused with response code 7;
// - a pressure unit change (commands 44 and 35) converts the pressure, the
//   sensor limits and, for command 44, the range values; other units are
//   refused (codes 12 and 28);
// - every write that changes the configuration counts the configuration
//   change counter up (command 0 reports it);
// - commands 11 and 21 are answered only when they name its tag or long tag.
class PressureBehaviour : public DeviceBehaviour {
public:
    static constexpr int kManufacturerId = 0x60F3;  // 16-bit (HART 7)
    static constexpr int kDeviceType = 0xE17A;      // expanded device type

    void start(DeviceMemory& memory, std::int64_t nowMs) override;
    void advance(DeviceMemory& memory, std::int64_t nowMs) override;
    bool answers(const CommandInfo& command, std::span<const std::uint8_t> request,
                 const DeviceMemory& memory) const override;
    std::uint8_t admit(const CommandInfo& command, const DeviceMemory& current,
                       const DeviceMemory& staged) override;
    std::uint8_t execute(const CommandInfo& command, DeviceMemory& memory) override;
    std::uint8_t statusBits(const DeviceMemory& memory) const override;

    // Write protection as a jumper would set it.
    void setWriteProtected(DeviceMemory& memory, bool on) const;

private:
    void move(DeviceMemory& memory, double elapsedMs) const;
    double percentOfRange(const DeviceMemory& memory) const;
    double loopCurrent(const DeviceMemory& memory) const;
    void convertPressures(DeviceMemory& memory, int fromUnit, int toUnit, bool ranges);

    std::int64_t startMs_ = 0;
    std::int64_t lastMs_ = 0;
    double pressureBase_ = 0.0;
    double temperatureBase_ = 25.0;
    int pressureUnit_ = 0;               // unit of pressureBase_
    bool configurationChanged_ = false;  // by the request that admit() saw last
};

}  // namespace simulator
