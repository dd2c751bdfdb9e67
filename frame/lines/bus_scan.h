#pragma once
// Finds the devices on a line: command 0 at each polling address of a range
// in a short frame; for every device that answers, command 13 (tag,
// descriptor, date) and, from revision 6 on, command 20 (long tag), in long
// frames. Runs on the apartment loop; `done` gets the devices found.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "frame/hart_backend.h"
#include "hart/identity.h"

namespace frame {

struct ScannedDevice {
    std::uint8_t pollingAddress = 0;
    hart::Identity identity;
    std::string tag;      // command 13, unpacked; empty when it failed
    std::string longTag;  // command 20; empty when the device has none
};

class BusScan {
public:
    using Done = std::function<void(std::vector<ScannedDevice> devices, std::vector<std::string> problems)>;

    // The line must outlive the scan or see its cancel().
    BusScan(HartBackend& line, std::uint8_t first, std::uint8_t last, Done done);
    void start();
    bool finished() const { return finished_; }

private:
    void probe();
    void identified(const std::vector<std::uint8_t>& data);
    void readTag();
    void readLongTag();
    void next();

    HartBackend& line_;
    unsigned address_;
    unsigned last_;
    Done done_;
    std::vector<ScannedDevice> devices_;
    std::vector<std::string> problems_;
    bool finished_ = false;
};

// Eight characters from six bytes of packed ASCII.
std::string unpackAscii(std::span<const std::uint8_t> bytes);

}  // namespace frame
