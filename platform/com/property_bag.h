#pragma once
// An in-memory property bag: named VARIANTs, as a frame hands them to
// IPersistPropertyBag. Names are compared exactly (case matters).

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/com/interfaces.h"
#include "platform/com/object.h"
#include "platform/com/variant.h"

namespace com {

class PropertyBag : public ComObjectRoot, public IPropertyBag {
public:
    static std::span<const InterfaceEntry> interfaces() {
        static constexpr InterfaceEntry table[] = {entry<PropertyBag, IPropertyBag>()};
        return table;
    }

    // On input pVar->vt is the type the caller wants (VT_EMPTY: the stored
    // type) and pVar owns nothing; on success it receives a copy of the stored
    // value, converted when a type was asked for. E_INVALIDARG for a missing
    // name, the conversion's failure (DISP_E_TYPEMISMATCH, ...) when the value
    // cannot take the asked type, E_POINTER for null arguments; *pVar is left
    // as it was on failure. The error log is not used.
    HRESULT Read(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog* pErrorLog) override;
    // Stores a deep copy (VariantCopy) of *pVar, replacing an earlier value
    // of the same name. E_POINTER for null arguments.
    HRESULT Write(LPCOLESTR pszPropName, VARIANT* pVar) override;

    // The stored names in the order they were first written.
    std::vector<std::u16string> names() const;
    // The stored value, or null; owned by the bag.
    const VARIANT* find(std::u16string_view name) const;

private:
    std::vector<std::pair<std::u16string, Variant>> entries_;
};

// A new empty bag; *bag receives the caller's reference.
HRESULT createPropertyBag(IPropertyBag** bag);

}  // namespace com
