#include "engine/parameters/parameter_factory.h"

#include "engine/parameters/bit_range_parameter.h"
#include "engine/parameters/bitmap_parameter.h"
#include "engine/parameters/composite_parameter.h"
#include "engine/parameters/date_time_parameter.h"
#include "engine/parameters/floating_parameter.h"
#include "engine/parameters/integer_parameter.h"
#include "engine/parameters/pointer_parameter.h"
#include "engine/parameters/string_parameter.h"

namespace engine {

std::unique_ptr<ValueParameter> createParameter(const ParameterSpec& spec) {
    switch (spec.kind) {
        case ParameterKind::UnsignedInteger:
        case ParameterKind::SignedInteger:
            return std::make_unique<IntegerParameter>(spec);
        case ParameterKind::FloatingPoint:
            return std::make_unique<FloatingParameter>(spec);
        case ParameterKind::String:
        case ParameterKind::PackedAscii:
            return std::make_unique<StringParameter>(spec);
        case ParameterKind::Bitmap:
            return std::make_unique<BitmapParameter>(spec);
        case ParameterKind::BitRange:
            return std::make_unique<BitRangeParameter>(spec);
        case ParameterKind::Date:
        case ParameterKind::Time:
        case ParameterKind::TimeAndDate:
            return std::make_unique<DateTimeParameter>(spec);
        case ParameterKind::Pointer:
            return std::make_unique<PointerParameter>(spec);
        case ParameterKind::Complex:
        case ParameterKind::Array:
            return std::make_unique<CompositeParameter>(spec);
    }
    return std::make_unique<IntegerParameter>(spec);
}

}  // namespace engine
