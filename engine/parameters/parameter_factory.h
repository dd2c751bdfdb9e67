#pragma once

#include <memory>

#include "engine/parameters/value_parameter.h"

namespace engine {

// A new parameter object of spec.kind. Applies no default; the caller stores
// the object and then calls applyDefault().
std::unique_ptr<ValueParameter> createParameter(const ParameterSpec& spec);

}  // namespace engine
