#pragma once

#include <cstdint>

// The HART numbers a slave answers with: command response codes, the bits of
// the field-device status byte and of the communication status byte.
namespace simulator::hart {

// Response codes (first status byte, bit 7 clear).
inline constexpr std::uint8_t kSuccess = 0;
inline constexpr std::uint8_t kInvalidSelection = 2;
inline constexpr std::uint8_t kParameterTooLarge = 3;
inline constexpr std::uint8_t kParameterTooSmall = 4;
inline constexpr std::uint8_t kTooFewDataBytes = 5;
inline constexpr std::uint8_t kDeviceSpecificError = 6;
inline constexpr std::uint8_t kWriteProtected = 7;
inline constexpr std::uint8_t kSetToNearestValue = 8;
inline constexpr std::uint8_t kAccessRestricted = 16;
inline constexpr std::uint8_t kBusy = 32;
inline constexpr std::uint8_t kCommandNotImplemented = 64;

// Warning codes come with the command carried out and its reply data; every
// other non-zero code is an error and its answer carries no data.
constexpr bool isWarning(std::uint8_t code) {
    return code == 8 || code == 14 || (code >= 24 && code <= 27) || code == 30 || code == 31 ||
           (code >= 96 && code <= 111);
}

// Field-device status byte (second status byte).
inline constexpr std::uint8_t kDeviceMalfunction = 0x80;
inline constexpr std::uint8_t kConfigurationChanged = 0x40;
inline constexpr std::uint8_t kColdStart = 0x20;
inline constexpr std::uint8_t kMoreStatusAvailable = 0x10;
inline constexpr std::uint8_t kLoopCurrentFixed = 0x08;
inline constexpr std::uint8_t kLoopCurrentSaturated = 0x04;
inline constexpr std::uint8_t kNonPrimaryOutOfLimits = 0x02;
inline constexpr std::uint8_t kPrimaryOutOfLimits = 0x01;

// Communication status (first status byte with bit 7 set).
inline constexpr std::uint8_t kCommunicationError = 0x80;
inline constexpr std::uint8_t kParityError = 0x40;
inline constexpr std::uint8_t kOverrunError = 0x20;
inline constexpr std::uint8_t kFramingError = 0x10;
inline constexpr std::uint8_t kChecksumError = 0x08;
inline constexpr std::uint8_t kRxBufferOverflow = 0x02;

// The most data bytes one HART frame carries (its byte count is one byte).
inline constexpr std::size_t kMaxDataBytes = 255;
// A reply's byte count includes its two status bytes: 253 data bytes at most.
inline constexpr std::size_t kMaxReplyDataBytes = kMaxDataBytes - 2;

inline constexpr std::uint8_t kInvalidDate = 9;

}  // namespace simulator::hart
