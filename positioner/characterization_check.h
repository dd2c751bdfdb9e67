#pragma once
// The check of the custom characteristic before it is written to the device:
// its nine points are sorted by x, the points behind the end marker (x at
// 255 or more) get y 255, and every segment's slope must lie between 0.08
// and 12 and change by no more than a factor of 3 (nor less than 0.3) from
// the segment before.

#include "positioner/engine_link.h"

namespace positioner {

// Sorts and checks the characteristic held by the engine, writing the
// sorted points back. On the first failing segment the translated reason,
// filled with the segment's start in percent, is shown (OK only) and the
// answer is false.
bool checkCharacteristic(EngineLink& engine);

}  // namespace positioner
