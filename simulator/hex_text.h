#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "simulator/value_coding.h"

namespace simulator {

// Data bytes as the FDT documents carry them ("byteArray"): two hexadecimal
// digits per byte, no separators. Written in capitals.
std::string toHexText(std::span<const std::uint8_t> bytes);

// Either case is read; nullopt for an odd length or a character that is not
// a hexadecimal digit (the whole text is refused, nothing is guessed).
std::optional<Bytes> fromHexText(std::string_view text);

}  // namespace simulator
