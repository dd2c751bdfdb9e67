#pragma once
// IDispatch for objects whose dual interfaces are only ever called through
// their vtables: no type information, no names, no members to invoke.

#include "platform/com/interfaces.h"

namespace com {

// Derive from this instead of the interfaces themselves; the four IDispatch
// methods of every listed interface are answered here once: no name is known
// (DISP_E_UNKNOWNNAME) and no dispatch id is a member (DISP_E_MEMBERNOTFOUND).
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
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) override {
        if (!ids) return E_POINTER;
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
};

}  // namespace com
