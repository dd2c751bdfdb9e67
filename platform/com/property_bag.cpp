#include "platform/com/property_bag.h"

#include <new>

namespace com {

HRESULT PropertyBag::Read(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog*) {
    if (!pszPropName || !pVar) return E_POINTER;
    const VARIANT* stored = find(pszPropName);
    if (!stored) return E_INVALIDARG;
    try {
        Variant value;
        if (HRESULT hr = VariantCopy(value.get(), stored); FAILED(hr)) return hr;
        const VARTYPE wanted = pVar->vt;
        if (wanted != VT_EMPTY && wanted != value.type()) {
            if (HRESULT hr = VariantChangeType(value.get(), value.get(), 0, wanted); FAILED(hr)) return hr;
        }
        value.detachTo(pVar);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT PropertyBag::Write(LPCOLESTR pszPropName, VARIANT* pVar) {
    if (!pszPropName || !pVar) return E_POINTER;
    try {
        Variant value;
        if (HRESULT hr = VariantCopy(value.get(), pVar); FAILED(hr)) return hr;
        const std::u16string_view name(pszPropName);
        for (auto& [key, stored] : entries_) {
            if (key == name) {
                stored = std::move(value);
                return S_OK;
            }
        }
        entries_.emplace_back(std::u16string(name), std::move(value));
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

std::vector<std::u16string> PropertyBag::names() const {
    std::vector<std::u16string> result;
    result.reserve(entries_.size());
    for (const auto& [key, value] : entries_) result.push_back(key);
    return result;
}

const VARIANT* PropertyBag::find(std::u16string_view name) const {
    for (const auto& [key, value] : entries_) {
        if (key == name) return value.get();
    }
    return nullptr;
}

HRESULT createPropertyBag(IPropertyBag** bag) {
    if (!bag) return E_POINTER;
    return ComInstance<PropertyBag>::create(nullptr, IPropertyBag::iid, reinterpret_cast<void**>(bag));
}

}  // namespace com
