#pragma once
// IDispatch for objects whose dual interfaces are only ever called through
// their vtables: no type information, no names, no Invoke.

#include "platform/com/interfaces.h"

namespace com {

// Derive from this instead of the interfaces themselves; the four IDispatch
// methods of every listed interface are answered here once.
template <class... Interfaces>
class NoLateBinding : public Interfaces... {
public:
    HRESULT GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
};

}  // namespace com
