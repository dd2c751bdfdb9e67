#pragma once
// The identity a device gives in its command 0 reply, in the layouts of
// protocol revisions 5, 6 and 7, and the long address derived from it.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "hart/frame.h"

namespace hart {

struct Identity {
    std::uint8_t universalRevision = 0;  // 5, 6, 7 ...
    // Revision 7: the 16-bit expanded device type. Before: manufacturer id
    // in the high byte, the manufacturer's device type in the low one.
    std::uint16_t expandedDeviceType = 0;
    std::uint16_t manufacturerId = 0;  // revision 7: bytes 17-18; before: byte 1
    std::uint8_t deviceType = 0;       // the device type byte (byte 2)
    std::uint8_t deviceRevision = 0;
    std::uint8_t softwareRevision = 0;
    std::uint8_t hardwareRevision = 0;  // top five bits of byte 7
    std::uint8_t physicalSignaling = 0;  // low three bits of byte 7
    std::uint8_t flags = 0;
    std::uint32_t deviceId = 0;  // 24 bits
    std::uint8_t requestPreambles = 5;  // preambles the device wants from a master
    std::uint8_t replyPreambles = 5;    // revision 6 and up: preambles it sends
    std::uint8_t maxDeviceVariables = 0;
    std::uint16_t configurationChangeCounter = 0;
    std::uint16_t privateLabelDistributor = 0;
    std::uint8_t deviceProfile = 0;

    // The five bytes of the unique address: the low six bits of byte 1
    // (manufacturer id or expanded device type's high byte), byte 2, device id.
    std::array<std::uint8_t, 5> uniqueAddress() const;
    Address longAddress(bool primaryMaster = true) const {
        return Address::longForm(uniqueAddress(), primaryMaster);
    }
};

struct IdentityRead {
    std::optional<Identity> identity;
    std::string reason;
    explicit operator bool() const { return identity.has_value(); }
};

// Reads a command 0 reply's data (status bytes not included): at least 12
// bytes, byte 0 being 254; revisions 6 and 7 need their longer layouts.
IdentityRead decodeIdentity(std::span<const std::uint8_t> data);

// A command 0 reply's data for `identity`, in its revision's layout.
std::vector<std::uint8_t> encodeIdentity(const Identity& identity);

}  // namespace hart
