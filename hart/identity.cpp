#include "hart/identity.h"

namespace hart {
namespace {

constexpr std::uint8_t kExpansionCode = 254;
constexpr std::size_t kRevision5Bytes = 12;
constexpr std::size_t kRevision6Bytes = 17;  // revision 6 up to the extended device status
constexpr std::size_t kRevision7Bytes = 22;

std::uint16_t word(std::span<const std::uint8_t> data, std::size_t at) {
    return static_cast<std::uint16_t>((data[at] << 8) | data[at + 1]);
}

}  // namespace

std::array<std::uint8_t, 5> Identity::uniqueAddress() const {
    return {static_cast<std::uint8_t>((expandedDeviceType >> 8) & 0x3F),
            static_cast<std::uint8_t>(expandedDeviceType & 0xFF),
            static_cast<std::uint8_t>(deviceId >> 16), static_cast<std::uint8_t>(deviceId >> 8),
            static_cast<std::uint8_t>(deviceId)};
}

IdentityRead decodeIdentity(std::span<const std::uint8_t> data) {
    IdentityRead read;
    if (data.size() < kRevision5Bytes) {
        read.reason = "command 0 reply has " + std::to_string(data.size()) + " data bytes, needs 12";
        return read;
    }
    if (data[0] != kExpansionCode) {
        read.reason = "command 0 reply does not start with 254";
        return read;
    }
    Identity id;
    id.universalRevision = data[4];
    const std::size_t needed = id.universalRevision >= 7   ? kRevision7Bytes
                               : id.universalRevision == 6 ? kRevision6Bytes
                                                           : kRevision5Bytes;
    if (data.size() < needed) {
        read.reason = "command 0 reply of revision " + std::to_string(id.universalRevision) + " has " +
                      std::to_string(data.size()) + " data bytes, needs " + std::to_string(needed);
        return read;
    }
    id.expandedDeviceType = word(data, 1);
    id.deviceType = data[2];
    id.manufacturerId = data[1];
    id.requestPreambles = data[3];
    id.deviceRevision = data[5];
    id.softwareRevision = data[6];
    id.hardwareRevision = static_cast<std::uint8_t>(data[7] >> 3);
    id.physicalSignaling = static_cast<std::uint8_t>(data[7] & 0x07);
    id.flags = data[8];
    id.deviceId = (static_cast<std::uint32_t>(data[9]) << 16) | (data[10] << 8) | data[11];
    id.replyPreambles = id.requestPreambles;
    if (id.universalRevision >= 6 && data.size() >= 14) {
        id.replyPreambles = data[12];
        id.maxDeviceVariables = data[13];
    }
    if (id.universalRevision >= 6 && data.size() >= 16) id.configurationChangeCounter = word(data, 14);
    if (id.universalRevision >= 7) {
        id.manufacturerId = word(data, 17);
        id.privateLabelDistributor = word(data, 19);
        id.deviceProfile = data[21];
    }
    read.identity = id;
    return read;
}

std::vector<std::uint8_t> encodeIdentity(const Identity& id) {
    std::vector<std::uint8_t> data = {
        kExpansionCode,
        static_cast<std::uint8_t>(id.expandedDeviceType >> 8),
        static_cast<std::uint8_t>(id.expandedDeviceType),
        id.requestPreambles,
        id.universalRevision,
        id.deviceRevision,
        id.softwareRevision,
        static_cast<std::uint8_t>((id.hardwareRevision << 3) | (id.physicalSignaling & 0x07)),
        id.flags,
        static_cast<std::uint8_t>(id.deviceId >> 16),
        static_cast<std::uint8_t>(id.deviceId >> 8),
        static_cast<std::uint8_t>(id.deviceId),
    };
    if (id.universalRevision < 6) return data;
    data.push_back(id.replyPreambles);
    data.push_back(id.maxDeviceVariables);
    data.push_back(static_cast<std::uint8_t>(id.configurationChangeCounter >> 8));
    data.push_back(static_cast<std::uint8_t>(id.configurationChangeCounter));
    data.push_back(0);  // extended field device status
    if (id.universalRevision < 7) return data;
    data.push_back(static_cast<std::uint8_t>(id.manufacturerId >> 8));
    data.push_back(static_cast<std::uint8_t>(id.manufacturerId));
    data.push_back(static_cast<std::uint8_t>(id.privateLabelDistributor >> 8));
    data.push_back(static_cast<std::uint8_t>(id.privateLabelDistributor));
    data.push_back(id.deviceProfile);
    return data;
}

}  // namespace hart
