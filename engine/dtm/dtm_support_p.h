#pragma once
// Helpers shared by the DTM object's entry points: out arguments, the error
// barrier at the COM boundary and parameter ids.

#include <string>
#include <string_view>

#include "engine/description/dtm_exception.h"
#include "platform/com/bstr.h"
#include "platform/com/variant.h"

namespace engine::dtm_support {

// FDT booleans: TRUE written with all bits set.
inline VARIANT_BOOL fdtBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }
// Private-interface booleans: 0 or 1.
inline VARIANT_BOOL privateBool(bool value) { return value ? 1 : 0; }

// The reference id a VARIANT carries: its 32-bit integer field, whatever its type.
inline std::int32_t parameterId(const VARIANT& id) { return id.lVal; }

// FDT out text: the slot is overwritten; the caller owns the new text.
inline void writeText(BSTR* out, std::string_view text) { *out = com::allocBstr(text); }

// Private-interface [in,out] text: what the slot held is freed and replaced.
inline void replaceText(BSTR* slot, std::string_view text) {
    SysFreeString(*slot);
    *slot = com::allocBstr(text);
}

// Runs an entry point's body; an engine error (CDTMException), an XML error or
// an allocation failure ends the call with `failure` instead of crossing the
// COM boundary.
template <class Body>
HRESULT barrier(HRESULT failure, Body&& body) noexcept {
    try {
        return body();
    } catch (const CDTMException&) {
        return failure;
    } catch (...) {
        return failure;
    }
}

}  // namespace engine::dtm_support
